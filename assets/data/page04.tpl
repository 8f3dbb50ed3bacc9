@# Page 4, Group Release Stats: every group's year from the register. 1614 lines: a page of 1615.

{G f2}  GROUP RELEASE STATS{/}{3}  ·  {M f2}2009{/}{3}  ·  {2}every group, every release
{3}  Counted from the ORVELLA register, 1 January to 20 December 2009
{band 6}

{2}  The long one, and the page most of you scroll to first: all {7}$(releases 2009){2} releases
{2}  of 2009, from the {7}$(groups 2009){2} groups that made them. Part I holds the groups with
{2}  chart points, the most first; part II the busy groups with no placing in
{2}  2009, the closest first; part III the rest, in one table. The index at
{2}  the bottom ({1}End{2} takes you there) tells you where to find yours.

{G f2}  The whole scene in 2009
@group_months 2009
{3}  Music: music disks.  Gfx: graphics collections.  C64, PC: the year by machine.
{3}  A release counts in the month it came out; December stops at the deadline.

{P f2}  The year month by month
{3}  Each month's No.1, its busiest groups, and who arrived or fell silent.
@month_diary 2009

{M f2}  Who made what
{3}  Releases of each kind, and the groups that made the most of them.
@kind_leaders 2009

{band 4}
{2}  How to read a group: name, machine, chart points and releases; its best
{2}  placing of the year; every release in date order. A voted prod shows its
{2}  places ({7}#3 #5{2}; {3}-{2} outside the twenty), the points they earned, and each
{2}  month's score and votes ({3}$(score 2009-12 Glass Orchard)/$(votes 2009-12 Glass Orchard){2}), with its place when it missed the
{2}  chart. The notes: chart entries, last year, the busiest month, all years.
@group_pages 2009 charts
{2}  {H}Brass Heron{2} alone took {7}$(group_points 2009 Brass Heron){2} of the year's {7}$(chart_points 2009){2} points. Further down, one
{2}  good month makes a season, and a single placing stays on this page for good.

@group_pages 2009 busy
{2}  Not one group above placed in 2009, yet every one of them was voted: the
{2}  places under their titles show how near they came.

@group_pages 2009 few
{3}  Votes: the best score and its number of votes; none, when nobody marked it.
{2}  Small groups, small numbers, and some of the year's oddest titles.

{band 4}
{H f2}  Gone quiet
{2}  Nothing from these this year, the most recently quiet first. Their work
{2}  stays on {1}> Alltime Stats{2}, and we would be glad to count them again.
@gone_quiet 2009

{band 6}
{G f2}  Find your group{3 f1}  ·  {2}I.12 is place 12 in part I; II and III follow it
@group_index 2009

{3}  Missing a release, or counted in the wrong month? Tell the register by 10
{3}  January 2010 (rule 9.1; the address is in the editorial); issue 38 mends it.
{3}  {1}Home{3} brings you back to the top of the page.
