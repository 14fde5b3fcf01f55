# The parts of zelka's manual page that its own help gives, as a help2man include file:
# DESCRIPTION, OPTIONS and EXIT STATUS from "zelka --help" (the first file), COMMANDS
# from "zelka COMMAND --help" of each command (the other files): its arguments, its own
# options and what it does, without the paragraphs every command's help repeats.
# Paragraphs are separated by blank lines; a paragraph whose first line ends in ":" and
# whose lines are "  TAG  text" is a list.

function roff(s) {
  gsub(/\\/, "\\e", s)
  gsub(/-/, "\\-", s)
  if (s ~ /^[.']/) s = "\\&" s
  return s
}

# An option or a list's tag: option names in bold, their arguments as they are.
function tag(s,    n, w, i, out) {
  n = split(s, w, " ")
  out = ""
  for (i = 1; i <= n; i++) {
    if (w[i] ~ /^-/) {
      sub(/,$/, "\\fR,", w[i])
      w[i] = "\\fB" w[i]
      if (w[i] !~ /\\fR,$/) w[i] = w[i] "\\fR"
    }
    out = out (i > 1 ? " " : "") w[i]
  }
  gsub(/-/, "\\-", out)
  return out
}

# The lines of a list, from line `first` of `lines`: an entry starts with its tag (an
# option, a number) and two spaces before its text; deeper indented lines go on with it.
function list(lines, n, first,    i, line, out, at) {
  out = ""
  for (i = first; i <= n; i++) {
    line = lines[i]
    sub(/^ +/, "", line)
    if (line ~ /^(-|[0-9])/ && match(line, /  +/)) {
      out = out ".TP\n" tag(substr(line, 1, RSTART - 1)) "\n" roff(substr(line, RSTART + RLENGTH)) "\n"
    } else {
      out = out roff(line) "\n"
    }
  }
  return out
}

# A paragraph of a command's help: prose, or option lines ("--name ARG  text") among it.
function details(lines, n,    i, line, out, inList) {
  out = ""
  inList = 0
  for (i = 1; i <= n; i++) {
    line = lines[i]
    if (line ~ /^-[^ ]*( [^ -][^ ]*)?  +/) {
      if (!inList) out = out ".RS\n"
      inList = 1
      match(line, /  +/)
      out = out ".TP\n" tag(substr(line, 1, RSTART - 1)) "\n" roff(substr(line, RSTART + RLENGTH)) "\n"
    } else if (inList && line ~ /^ /) {
      sub(/^ +/, "", line)
      out = out roff(line) "\n"
    } else {
      if (inList) out = out ".RE\n"
      if (inList || i == 1) out = out ".IP\n"
      inList = 0
      out = out roff(line) "\n"
    }
  }
  if (inList) out = out ".RE\n"
  return out
}

# "Usage: zelka [options] print picture [--paper 80|57] FILE": the command's words in
# bold, its arguments as they are.
function usage(line,    n, w, i, words, rest) {
  sub(/^Usage: zelka \[options\] /, "", line)
  n = split(line, w, " ")
  words = "zelka"
  for (i = 1; i <= n && w[i] ~ /^[a-z][a-z0-9-]*$/; i++) words = words " " w[i]
  rest = ""
  for (; i <= n; i++) rest = rest " " w[i]
  gsub(/-/, "\\-", words)
  return ".TP\n\\fB" words "\\fR" roff(rest) "\n"
}

BEGIN { RS = "" }

FNR == 1 { file++ }

file == 1 {
  seen[$0] = 1
  n = split($0, lines, "\n")
  if (lines[1] ~ /^Usage:/ || lines[1] ~ /^Commands:/) next
  if (lines[1] ~ /^Options.*:$/) { options = options list(lines, n, 2); next }
  if (lines[1] ~ /^Exit codes:$/) { exits = exits list(lines, n, 2); next }
  description = description (description == "" ? "" : ".PP\n")
  for (i = 1; i <= n; i++) description = description roff(lines[i]) "\n"
  next
}

{
  n = split($0, lines, "\n")
  if (FNR == 1) { commands = commands usage(lines[1]); paragraph = 0; next }
  if (seen[$0] || lines[1] ~ /^(Options \(|Exit codes:|Subcommands:)/) next
  if (++paragraph == 1) {
    for (i = 1; i <= n; i++) commands = commands roff(lines[i]) "\n"
  } else {
    commands = commands details(lines, n)
  }
}

END {
  printf "[=DESCRIPTION]\n%s[=OPTIONS]\n%s[COMMANDS]\n%s[EXIT STATUS]\n%s", description, options, commands, exits
}
