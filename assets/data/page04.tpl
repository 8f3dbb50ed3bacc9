@# Page 4, Group Release Stats: every group's year, month by month. 1614 lines: a page of 1615.

{G f2}  GROUP RELEASE STATS{/}{3}  ·  {M f2}2009{/}{3}  ·  {2}every group, every month
{3}  Counted from the ORVELLA release register, January to 20 December 2009
{band 6}

{2}  This is the long one. Every group that released anything in 2009 gets its
{2}  own table below: what it put out each month, sorted into the six kinds the
{2}  chart counts, with the year's total, its chart points and its best placing.
{2}  In all, {7}$(groups 2009){2} groups released {7}$(releases 2009){2} productions this year. The register
{2}  counts a release in the month it came out, so a production from the last
{2}  days of a month is counted in that month but charts in the next one.

{G f2}  The whole scene in 2009
@group_months 2009
{3}  Music: music disks  Gfx: graphics collections  ·: nothing that month
{band 4}

{2}  The groups follow in alphabetical order, from {H}Amberlight Guild{2} to {H}Zinc Parade{2}.
{2}  Use the scroll bar to travel, or PageDown to turn 33 lines at a time; End
{2}  takes you to the bottom of the list and Home brings you back up here.

{band 6}
@group_pages 2009
