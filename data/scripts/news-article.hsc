/ Example script: a news article page, one story per page.
/
/ Every page gives one record:
/   Subject    the headline (the <h1> of the story)
/   From       the author of the byline
/   Date       the dateline, read with the pattern "m d, y h:n" ("March 4, 2024 09:30")
/   Newsgroup  the name of the site, the part of the page title before " - "
/   Article    the story text, its links written out after the link text
/   Notes      the page's address (its canonical link)
/ On its sample page news-article.htm that is the record
/   "Harbour bridge reopens after repairs" by "Jane Porter", 2024/3/4 09:30,
/   Newsgroup "Example Daily", Notes "http://news.example.com/2024/03/04/bridge.html".
/
/ To use it for another site, open one of its pages with "Open Browser", view the source,
/ and replace the landmarks between { and } by the tags that stand around each field.
/ A search with "!" stops the script when its landmark is missing (the page is not a story
/ page); a search with "?" that fails only skips the lines up to the next "$".

%"m d, y h:n"

/ The site name and the address, both in the page head.
?{<title>}
G={ - }
?{<link rel="canonical" href="}
N={">}
$

/ The headline must be there, or this is no story page.
!{<h1>}
S={</h1>}

/ The byline is optional: a story without it keeps From empty.
?{<span class="author">}
F={</span>}
$

?{<time>}
D={</time>}
$

/ The story runs from the start of its body up to the end of the body.
!{<div class="body">}
A={<div class="footer">}
*
.
<<
Lines after the end marker are never executed: notes for the script's author go here.
