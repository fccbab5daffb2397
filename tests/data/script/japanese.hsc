?{<title>}
S={</title>}
?{<body>}
A={</body>}
*
.
