@# Page 4, Group Release Stats: every group's year from the register. 1614 lines: a page of 1615.

{G f2}  GROUP RELEASE STATS{/}{3}  ·  {M f2}2009{/}{3}  ·  {2}every group, every release
{3}  Counted from the ORVELLA register, 1 January to 20 December 2009
{band 6}

{2}  The long one, and the page most of you scroll to first: all {7}$(releases 2009){2} releases
{2}  of 2009 from {7}$(groups 2009){2} groups. Part I: the groups with chart points, most
{2}  first. Part II: busy groups with no placing, closest first. Part III: the
{2}  rest, in one table. The index at the bottom ({1}End{2}) tells you where you are.

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
{2}  How to read a group: name, machine, points, releases; its best placing;
{2}  every release by date. A voted prod shows its places ({7}#3 #5{2}; {3}-{2} outside the
{2}  twenty), their points, and each month's score/votes ({3}$(score 2009-12 Glass Orchard)/$(votes 2009-12 Glass Orchard){2}), with the
{2}  place when it missed the chart. Notes: entries, last year, busiest month.
@group_pages 2009 charts
{2}  {H}Brass Heron{2} alone took {7}$(group_points 2009 Brass Heron){2} of the year's {7}$(chart_points 2009){2} points, about one in four.

@group_pages 2009 busy
{2}  None of these placed in 2009; the places under their titles show how near.

@group_pages 2009 few
{3}  Votes: the best score and its votes; none, when nobody marked it.

{band 4}
{H f2}  Gone quiet
{2}  Nothing from these in 2009, latest first; their work is on {1}> Alltime Stats{2}.
@gone_quiet 2009

{band 6}
{G f2}  Find your group{3 f1}  ·  {2}I.12 is place 12 in part I; II and III follow it
@group_index 2009

{3}  Missing a release, or counted in the wrong month? Tell the register by 10
{3}  January 2010 (rule 9.1; address in the editorial). {1}Home{3}: back to the top.
