@# Page 1, the Monthly Chart. 41 lines: a page of 42.

{D f2}  MONTHLY CHART{/}{3}  ·  {M f2}December 2009{/}{3}  ·  {2}issue $(charts all)
{3}  $(counted 2009-12) ballots counted, $(voted 2009-12) productions voted, voting closed on 20 December
{band 5}
@monthly_chart 2009-12

{3}  Move: {7}+n{3} places up  {5}-n{3} places down  {2}={3} same place  {D}NEW{3} first chart  {G}RE{3} back
{3}  Type: machine and kind.  Score: average mark 1-10 / votes; votes break ties.
{band 4}
{2}  A December double for {H}Moth Lantern{2}: {F}Glass Orchard{2} in at the top with {7}$(score 2009-12 Glass Orchard){2},
{2}  and their 4k {F}Tallow and Tin{2} at No.$(rank 2009-12 Tallow and Tin). Not one prod climbed this month:
{2}  everything that stayed in the chart went down, to make room for the new.
{2}  {F}Kettle Drum Weather{2} and {F}Hinges of Winter{2} take their bow, in the third and last
{2}  month of their chart window, and {F}Tidal Craters{2} holds No.20 on $(votes 2009-12 Tidal Craters) votes, the
{2}  fewest in the twenty: plenty below it had more, but none scored $(score 2009-12 Tidal Craters).
{3}  How the votes fell, and who nearly made it: {1}> Monthly Overview{3}.
