#!/usr/bin/env bash
# tsmcheck on one model per kind of finding and per explained refusal: the exact lines it
# prints and its exit status; then the statuses of several models, -q and usage errors.
# Usage: findings_test.sh TSMCHECK
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
G='<tsm-model><geometries><geometry>'
E='</geometry></geometries></tsm-model>'

# row NAME STATUS MODEL EXPECTED: checks NAME.tsm, which holds MODEL, from inside $work.
row() {
  printf '%s' "$3" >"$work/$1.tsm"
  (cd "$work" && "$program" "$1.tsm" >"$1.out" 2>&1; echo $? >"$1.status")
  if ! diff <(printf '%s\n' "$4") "$work/$1.out" >"$work/$1.diff" ||
     [ "$(cat "$work/$1.status")" != "$2" ]; then
    echo "FAIL $1 (status $(cat "$work/$1.status"), expected $2):"; cat "$work/$1.diff"
    failed=1
  fi
}

row clean 0 "$G<pointSet><p>0 0</p><p>1 0</p></pointSet><lineSet><l>0 1</l></lineSet>$E" \
'clean.tsm: converts cleanly'

row unknown 1 "$G
<pointset><p>1 2</p></pointset>
<pointSet><P>1 2</P><point>1 2</point><x><p>1 2</p></x></pointSet>
$E" \
'unknown.tsm:2:1: warning: <pointset> is not a known element; did you mean <pointSet>? It and everything in it are skipped.
unknown.tsm:3:11: warning: <P> is not a known element; did you mean <p>? It and everything in it are skipped.
unknown.tsm:3:21: warning: <point> is not a known element; did you mean <points>? It and everything in it are skipped.
unknown.tsm:3:39: warning: <x> is not a known element: it and everything in it are skipped.
unknown.tsm: 4 warnings'

row misplaced 1 "$G
<pointSet><points><p>1 2</p><colors><c>9 9 9</c></colors></points></pointSet>
<p>3 4</p><title>documentation is skipped silently</title>
<vectorField><colors><c>1 1 1</c></colors></vectorField>
$E" \
'misplaced.tsm:2:29: warning: <colors> inside <points> is skipped: it belongs after </points>, inside <pointSet>.
misplaced.tsm:3:1: warning: <p> inside <geometry> is skipped: it belongs inside <points>.
misplaced.tsm:4:14: warning: <colors> inside <vectorField> is skipped: it belongs inside <pointSet> or <faceSet>.
misplaced.tsm: 3 warnings'

row nothing_to_colour 1 "$G
<pointSet><colors><c>9 9 9</c></colors><points><p>1 2</p></points>
<colors><c>1 1 1</c><c>2 2 2</c></colors></pointSet>
$E" \
'nothing_to_colour.tsm:2:19: warning: <c> colours no point: none comes before its <colors>; put <colors> after </points>.
nothing_to_colour.tsm:3:21: warning: <c> colours no point: its <colors> has more entries than the geometry has points.
nothing_to_colour.tsm: 2 warnings'

row no_base_point 1 "$G
<vectorField><v>1 0 0</v></vectorField>
<pointSet><p>0 0</p></pointSet>
<vectorField><vectors><v>1 0 0</v><v>0 1 0</v></vectors></vectorField>
$E" \
'no_base_point.tsm:2:14: warning: <v> draws nothing: no point comes before its <vectorField>; put the <vectorField> after the <pointSet>.
no_base_point.tsm:4:35: warning: <v> draws nothing: it is vector 2, and the geometry has only 1 point to start vectors from.
no_base_point.tsm: 2 warnings'

row undefined_vertex 1 "$G
<pointSet><p>0 0</p><p>1 0</p><p>2 0</p><p>3 0</p><p>4 0</p><p>5 0</p></pointSet>
<lineSet><l>0 7</l><l>0 5</l></lineSet><faceSet><f>-1 0 1</f></faceSet>
$E" \
'undefined_vertex.tsm:3:10: warning: <l> uses vertex 7, but the geometry has 6 points by then (0 to 5): the drawing uses P1_8, which no command defines before it.
undefined_vertex.tsm:3:49: warning: <f> uses vertex -1, but the geometry has 6 points by then (0 to 5): the drawing uses P1_0, which no command defines before it.
undefined_vertex.tsm: 2 warnings'

row ends_model 1 "<tsm-model>
<Geometries><geometry></geometry></Geometries>
</tsm-model>" \
'ends_model.tsm:2:1: warning: <Geometries> is not a known element; did you mean <geometries>? It ends the model'"'"'s content here.
ends_model.tsm:2:13: error: '"'"'<geometry>'"'"' is refused: it does not belong here (it belongs inside <geometries>), or an element before it is not closed.
ends_model.tsm: refused at line 2'

row plus 1 "$G<pointSet>
<p>1e+06 2</p></pointSet>$E" \
"plus.tsm:2:4: error: '1e+06' is refused: an exponent takes no '+'; write 1e06.
plus.tsm: refused at line 2"

row bom 1 $'\xEF\xBB\xBF'"$G$E" \
'bom.tsm:1:1: error: a byte-order mark is refused: save the model without it.
bom.tsm: refused at line 1'

row comment 1 "$G
<!-- a comment -->
$E" \
"comment.tsm:2:1: error: '<!--' is refused: comments are not read; remove <!-- ... -->.
comment.tsm: refused at line 2"

row self_closing 1 "<tsm-model><geometries>
<geometry/>
</geometries></tsm-model>" \
"self_closing.tsm:2:1: error: '<geometry/>' is refused: an element is not closed by '/>'; write <geometry></geometry>.
self_closing.tsm: refused at line 2"

row stylesheet 1 '<?xml version="1.0"?>
<?xml-stylesheet href="model.css"?>'"
$G$E" \
"stylesheet.tsm:2:1: error: '<?xml-stylesheet' is refused: of the processing instructions only <?xml followed by a blank is read; remove it.
stylesheet.tsm: refused at line 2"

row doctype_subset 1 '<!DOCTYPE tsm-model [
<!ELEMENT tsm-model ANY>
]>'"
$G$E" \
"doctype_subset.tsm:3:1: error: ']>' is refused: a <!DOCTYPE> with an internal subset [...] is not read; remove the subset.
doctype_subset.tsm: refused at line 3"

row lone_cr 1 $'<?xml version="1.0"?>\r'"$G$E" \
'lone_cr.tsm:1:22: error: a carriage return that ends no line is refused: save the model with line feeds as line ends.
lone_cr.tsm: refused at line 1'

# The end of the model while an element is skipped names that element, attributes and all.
row never_closed 1 "$G
<Points kind=\"3d\">
<p>1 2</p></points>
$E" \
"never_closed.tsm:2:1: error: '<Points' is refused: nothing closes it before the model ends; did you mean <points>?
never_closed.tsm: refused at line 2"

row other_token 1 "$G<pointSet>
<p>1 2 3 4</p></pointSet>$E" \
"other_token.tsm:2:10: error: '4' is refused here.
other_token.tsm: refused at line 2"

row cut_short 1 "$G
<pointSet><p>1 2</p>" \
'cut_short.tsm:2:21: error: the model ends before </tsm-model>: it is cut short, or an element is not closed.
cut_short.tsm: refused at line 2'

# Several models: the highest status; -q prints nothing; usage errors and unreadable files.
expect_status() {  # EXPECTED_STATUS EXPECTED_OUTPUT ARGUMENTS...
  local want=$1 output=$2
  shift 2
  local got
  got=$(cd "$work" && "$program" "$@" 2>&1)
  local status=$?
  if [ "$status" != "$want" ] || [ "$got" != "$output" ]; then
    echo "FAIL tsmcheck $* gave status $status, expected $want, and printed:"; echo "$got"
    failed=1
  fi
}
expect_status 0 'clean.tsm: converts cleanly
clean.tsm: converts cleanly' clean.tsm clean.tsm
expect_status 1 '' -q clean.tsm plus.tsm
expect_status 2 '' -q clean.tsm missing.tsm plus.tsm
expect_status 2 "tsmcheck: cannot read 'missing.tsm': No such file or directory" missing.tsm
expect_status 2 "tsmcheck: no model given
Try 'tsmcheck --help'." -q
expect_status 2 "tsmcheck: unknown option -x
Try 'tsmcheck --help'." -x clean.tsm
expect_status 0 "tsmcheck $("$program" --version | cut -d' ' -f2)" --version

[ "$failed" = 0 ] && echo "tsmcheck_findings: every row prints its lines and status"
exit "$failed"
