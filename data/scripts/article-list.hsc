/ Example script: a list page with several items per page (a blog index, a press-release
/ list, search results).
/
/ Every entry of the list (<li class="entry">) gives one record:
/   Subject    the entry's title (the text of its link)
/   From       the author, empty when the entry names none
/   Date       the posting date, read with the pattern "y-m-d" ("2024-05-02")
/   Newsgroup  the list's heading (the <h1> of the page)
/   Article    the teaser text of the entry
/   Notes      the address the entry's title links to
/ On its sample page article-list.htm that is four records:
/   "Spring meeting moved to May"     Ann Lee    2024/5/2
/   "New members' evening"            (none)     2024/4/18
/   "Library opening hours"           Tom Baker  (no date: the page leaves it out)
/   "Annual report 2023 published"    Ann Lee    2024/3/30
/ all with Newsgroup "Club news".
/
/ Variables keep their values from one record to the next, so the loop resets From, Date
/ and Article before it reads an entry: an entry without them must not take the previous
/ one's. An empty D would keep the previous record's date, so D gets a text that does not
/ fit the date pattern instead: that gives a record without a date.
/ A search written {head|tail} finds head only before the next tail, so {...|</li>} never
/ looks into the next entry.
/
/ Each jump back to :entry counts one cycle; "#R 1000" allows up to 1000 entries a page
/ (without it the script would stop after 100).
#R 1000

%"y-m-d"
!{<h1>}
G={</h1>}

:entry
?{<li class="entry">}
/ No further entry: the list is done.
-:done
?{<a href="}
N={">}
?{>}
S={</a>}
F=""
D="none"
A=""
?{<span class="author">|</li>}
F={</span>}
$
?{<span class="posted">|</li>}
D={</span>}
$
?{<p class="teaser">|</li>}
A={</p>}
$
*
+:entry
:done
.
<<
