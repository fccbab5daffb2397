/ News list of an example site
#D
#R 10

?{<title>}
G={</title>}
%"m d, y"
>H
:item
?{<div class="item">}
-:done
?{<h2>}
S={</h2>}
?{<span class="date">}
D={</span>}
?{<p>}
X={</p>}
A="Summary: "
A&X
*
+:item
:done
.
<<
Anything after the end marker is never read.
