@# Page 1, the Monthly Chart. 41 lines: a page of 42.

{D f2}  MONTHLY CHART{/}{3}  ·  {M f2}December 2009{/}{3}  ·  {2}issue 37
{3}  $(ballots 2009-12) ballots received, $(voted 2009-12) productions voted, voting closed on 20 December
{band 5}
@monthly_chart 2009-12

{3}  Move: {7}+n{3} places up  {5}-n{3} places down  {2}={3} same place  {D}NEW{3} first chart  {G}RE{3} back
{3}  Score: the average mark out of 10.  No.1 earns 20 points, No.20 earns 1.
{band 4}
{2}  A December double for {H}Moth Lantern{2}: {F}Glass Orchard{2} goes straight in at the
{2}  top with {7}$(score 2009-12 Glass Orchard){2}, and their intro {F}Tallow and Tin{2} lands at No.$(rank 2009-12 Tallow and Tin) in its
{2}  first month. {F}Nine Quiet Bells{2} by {H}Quiet Foundry{2} gives up the crown with grace
{2}  and just one place. Thirteen new entries, as many as in February, while two
{2}  October releases, {F}Kettle Drum Weather{2} and {F}Hinges of Winter{2}, leave the chart
{2}  window after their third month, as the rules say they must.
{3}  How the votes fell, and who nearly made it: {1}> Monthly Overview{3}.
