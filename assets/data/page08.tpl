@# Page 8, Alltime Stats: the whole register, December 2006 to December 2009. 179 lines: a page of 180.

{D f2}  ALLTIME STATS{/}{3}  ·  {M f2}37 issues{/}{3}  ·  {2}December 2006 to December 2009
{3}  Every release the chart team has counted, and every chart since issue 1
{band 8}
{2}  Thirty-seven charts, {7}$(releases all){2} releases from {7}$(groups all){2} groups, and more ballots
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
{3}  Points from all 37 charts; a production can collect them for three months.
@production_chart all 30

{P f2}  Records
@records

{band 6}
{G f2}  Every group, year by year
{3}  Ordered by releases in all years; points and No.1s from all 37 charts.
@group_years

{3}  Points and No.1s: all 37 charts; No.1s counts the months a group was on top.

{band 4}
{2}  $(groups all) groups in 37 months. Some have gone quiet since: {H}Mossgrain{2} after 2007,
{2}  {H}Bellows Kin{2}, {H}Duskfold{2}, {H}Gossamer Byte{2} and {H}Dapple Grey{2} during 2008, and this
{2}  year {H}Slate Harbour{2} and {H}Hollow Kettle{2}, with three more silent since the
{2}  summer. A release counted once is counted for good: {F}Ferns of Saturday{2} still
{2}  stands in the top three of all time. Missing a release, or one in the wrong
{2}  month? {S}register@orvella.invalid{2}: corrections are printed here, and dated.
