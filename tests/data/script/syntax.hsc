S 	= 	"two^lines"
N=""
<P
>P
<H
+:LATER
S="never"
:later
X="x"
Y=X
Y&Y
%Y
*
<< 
