S="a"
*
+:target
:target 
.
