@# Page 4, Group Release Stats: every group's year from the register. 1614 lines: a page of 1615.

{G f2}  GROUP RELEASE STATS{/}{3}  ·  {M f2}2009{/}{3}  ·  {2}every group, every release
{3}  Counted from the ORVELLA register, 1 January to 20 December 2009
{band 6}

{2}  The long one, and the page most of you scroll to first: every one of the
{2}  {7}$(groups 2009){2} groups that released something in 2009, and all {7}$(releases 2009){2} of their
{2}  productions. The groups with chart points come first, the most points at the
{2}  top; then the busy groups still waiting for a placing, closest to the chart
{2}  first; then the groups with a handful of releases, in one table. The index
{2}  at the bottom ({1}End{2} takes you there) tells you where to find yours.

{G f2}  The whole scene in 2009
@group_months 2009
{3}  Music: music disks  Gfx: graphics collections  ·: nothing that month
{3}  A release counts in the month it came out; one from after the 20th charts
{3}  in the next month, which is why the December row stops at the deadline.

{P f2}  The year month by month
{3}  Each month's No.1, its busiest groups, and who arrived or fell silent.
@month_diary 2009

{M f2}  Who made what
{3}  Releases of each kind, and the groups that made the most of them.
@kind_leaders 2009

{band 4}
{2}  How to read a group: the heading gives its chart points and its releases.
{2}  Under it come the group's best production of the year, then every release
{2}  in date order. A production that was voted shows its places month by month
{2}  ({7}#3 #5{2}; {3}-{2} for a month outside the top twenty) and the points they earned,
{2}  and under that each month's score and number of votes ({3}9.4/189{2}), with the
{2}  place when it missed the chart. The notes are the register's own: chart
{2}  entries, last year's count, the busiest month, the count since the start.
@group_pages 2009 charts
{2}  {H}Brass Heron{2} alone took a quarter of the year's points. Further down, one good
{2}  month makes a season: a single placing is a line in the group's history,
{2}  and it is in this page for good.

@group_pages 2009 busy
{2}  Every group above released five times or more without a placing. Several
{2}  missed by a handful of votes, and most were voted at least once: the
{2}  places under their titles show how near they came.

@group_pages 2009 few
{3}  Votes: the best score and its number of votes; none, when nobody marked it.
{2}  Small groups, small numbers, and some of the year's oddest titles.

{band 4}
{H f2}  Gone quiet
{2}  These groups released nothing this year. Their work stays in the register
{2}  and on {1}> Alltime Stats{2}; we would be glad to count them again.
@gone_quiet 2009

{band 6}
{G f2}  Find your group
{3}  I.12 is place 12 in part I; II and III are the two parts that follow it.
@group_index 2009

{3}  Missing a release, or counted in the wrong month? Write to the chart team at
{3}  {S}register@orvella.invalid{3} by 10 January 2010 (rule 9.1): issue 38 corrects it.
{3}  {1}Home{3} brings you back to the top of the page.
