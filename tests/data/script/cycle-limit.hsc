#R 3
:loop
?{<li>}
-:end
S={</li>}
*
+:loop
:end
.
