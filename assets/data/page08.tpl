@# Page 8, Alltime Stats: the whole register, December 2006 to December 2009. 179 lines: a page of 180.

{D f2}  ALLTIME STATS{/}{3}  ·  {M f2}$(charts all) issues{/}{3}  ·  {2}December 2006 to December 2009
{3}  Every release the chart team has counted, and every chart since issue 1
{band 8}
{2}  {7}$(charts all){2} charts, {7}$(releases all){2} releases from {7}$(groups all){2} groups, and more ballots
{2}  than we ever thought we would open. Here is the whole register in one page:
{2}  the years side by side, the productions that earned the most chart points,
{2}  a few records, and every group that has ever put out a release for us to
{2}  count. The commentary lives next door in {1}> Alltime Overview{2}.

{G f2}  Releases year by year
@years_table
{3}  2006 holds December only: the register opened with issue 1.

{M f2}  All releases by kind
@kind_bars all

{band 5}
{D f2}  The all-time top 30
{3}  Points from all $(charts all) charts; a production can collect them for three months.
@production_chart all 30

{P f2}  Records
@records

{band 6}
{G f2}  Every group, year by year
{3}  By releases in all years; No.1s counts the months a group was on top.
@group_years

{3}  Of the {7}$(releases all){3} releases, {7}$(releases all c64){3} were for the C64 and {7}$(releases all pc){3} for the PC.

{band 4}
{2}  $(groups all) groups in $(charts all) months, and one of them holds {7}$(group_points all Brass Heron){2} of the {7}$(chart_points all){2} chart points
{2}  ever given: {H}Brass Heron{2}. A release counted once is counted for good, whoever
{2}  stops releasing: {F}Ferns of Saturday{2}, by a group quiet since $(last_release Gossamer Byte), is
{2}  still No.$(place all Ferns of Saturday) of all time. Missing a release, or one in the wrong month? Tell
{2}  the register (its address is in the editorial); the correction appears in
{2}  {1}> Credits For The Charts{2}, and every table is worked out again from it.
