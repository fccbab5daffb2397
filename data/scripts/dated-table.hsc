/ Example script: a page with a table of dated rows (a notice board, a change log, a
/ timetable of announcements).
/
/ Every row of the table below its heading row gives one record:
/   Subject    the notice (third column)
/   From       who issued the notices, from the line above the table
/   Date       the first two columns joined, read with the pattern "d.m.y h:n"
/              ("04.03.2024" and "08:15" give 2024/3/4 08:15)
/   Newsgroup  the table's caption
/   Article    the details (fourth column), laid out as text
/ On its sample page dated-table.htm that is three records:
/   "Water main work on Elm Street"   2024/3/4 08:15
/   "Road closed for the market"      2024/3/9 06:00
/   "Bin collection moved"            2024/3/11 07:30
/ all from "Town Hall, Public Works", Newsgroup "Notices for March 2024".
/
/ A cell is read with ?{<td>|</tr>} (a <td> before the end of the row) and then an
/ extraction up to </td>. X holds the time while D is built from the date, a blank and X.
#R 1000

%"d.m.y h:n"
?{Issued by:}
F={</p>}
$
!{<table class="notices">}
?{<caption>}
G={</caption>}
$
/ The heading row holds <th> cells and no record.
?{</tr>}

:row
?{<tr>|</table>}
-:done
?{<td>|</tr>}
D={</td>}
?{<td>|</tr>}
X={</td>}
D&" "
D&X
?{<td>|</tr>}
S={</td>}
?{<td>|</tr>}
A={</td>}
*
/ A row that lacks a cell leaves the failed state set, so it is not posted; "$" clears
/ the state and the loop goes on with the next row.
$
+:row
:done
.
<<
