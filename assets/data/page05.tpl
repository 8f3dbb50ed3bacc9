@# Page 5, Yearly Stats 2009. 63 lines: a page of 64.

{D f2}  YEARLY STATS{/}{3}  ·  {M f2}2009{/}{3}  ·  {2}the year in points
{3}  Points from the $(charts 2009) charts of 2009: No.1 earns 20, No.20 earns 1
{band 5}
{D f2}  Productions of the year
@production_chart 2009 25
{3}  Top: best place.  Best: best monthly score.  The story: {1}> Yearly Overview

{G f2}  Groups of the year
@group_chart 2009 10
{3}  Charted: chart entries in the year; one production can chart three times.

{M f2}  $(releases 2009) releases in 2009, by kind
@kind_bars 2009
