#!/usr/bin/env python3
"""Checks the documentation against the program it describes.

  check_docs.py options MANPAGE CORVANA_QUERY
      The options of the manual page are exactly those of `corvana-query --help`, and the
      options it gives each command are those of `corvana-query COMMAND --help`.
  check_docs.py examples BIN_DIR INPUT_DIR FILE...
      Runs every example of the files: in Markdown, each ```console block (a line "$ command",
      then what it prints, "..." standing for any lines); in a manual page, each command of
      EXAMPLES, which must succeed and print every `.\\" expect:` text that follows it. The
      commands run in a scratch copy of INPUT_DIR, with BIN_DIR first on the PATH, no settings
      file, a user in Mountain time and the clock stopped at 10:15:02 on 15 January 2026.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

# What every command takes (cli/Command.cpp), so that the manual page says it once.
EVERY_COMMAND = {"--data", "--settings", "--help", "--version"}
# The searches that the usage text names by their first word.
SEARCHES = ["zip", "city", "state", "county", "area"]

FAKE_TIME = "2026-01-15 10:15:02"
USER_ZONE = "America/Denver"


def roff_text(line):
    """A roff line as the reader sees it: macros, fonts and quotes gone, escapes read."""
    line = re.sub(r"^\.(B|I|BI|IB|BR|RB|IR|RI)\s+", "", line)
    line = re.sub(r"\\f[BIRP]", "", line)
    line = line.replace("\\-", "-").replace("\\(dq", "\x00").replace("\\(lq", "“")
    line = line.replace("\\(rq", "”").replace("\\(em", "—")
    line = line.replace('"', "").replace("\x00", '"')
    return line.strip()


def sections(lines):
    """The lines of each .SH and .SS section, by name."""
    found, name = {}, None
    for line in lines:
        m = re.match(r'^\.S[HS]\s+"?([^"]*)"?', line)
        if m:
            name = m.group(1).strip()
            found[name] = []
        elif name:
            found[name].append(line)
    return found


def tagged_paragraphs(lines):
    """(tag, body lines) for every .TP paragraph."""
    paragraphs = []
    for i, line in enumerate(lines):
        if line.startswith(".TP") and i + 1 < len(lines):
            body = []
            for later in lines[i + 2 :]:
                if later.startswith((".TP", ".PP", ".SH", ".SS")):
                    break
                body.append(later)
            paragraphs.append((lines[i + 1], body))
    return paragraphs


def options_in(text):
    return set(re.findall(r"--[a-z][a-z-]*", text))


def run(args):
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode != 0:
        raise SystemExit(f"{' '.join(args)} failed ({done.returncode}): {done.stderr}")
    return done.stdout


def check_options(manpage, query):
    problems = []
    with open(manpage, encoding="utf-8") as f:
        parts = sections(f.read().splitlines())

    documented = set()
    for tag, _ in tagged_paragraphs(parts.get("OPTIONS", [])):
        documented |= options_in(roff_text(tag).split(" ")[0])
    usage = run([query, "--help"])
    if documented != options_in(usage):
        problems.append(
            f"OPTIONS documents {sorted(documented)}, --help lists {sorted(options_in(usage))}"
        )

    # The commands of the usage text: the first word after [OPTIONS] or after a bar.
    commands = set(re.findall(r"(?:\[OPTIONS\]|\|) ([a-z]+)", usage))
    per_command = {}
    for tag, body in tagged_paragraphs(parts.get("Options of each command", [])):
        takes = options_in(" ".join(roff_text(b) for b in body))
        for command in re.split(r"[ ,]+", roff_text(tag)):
            if command:
                per_command[command] = takes | EVERY_COMMAND
    if set(per_command) != commands:
        problems.append(
            f"the options of each command name {sorted(per_command)}, "
            f"--help names {sorted(commands)}"
        )
    for command in sorted(commands & set(per_command)):
        takes = options_in(run([query, command, "--help"]))
        if per_command[command] != takes:
            problems.append(
                f"{command}: the manual page gives {sorted(per_command[command])}, "
                f"'{command} --help' lists {sorted(takes)}"
            )
    # An option's own entry that names the commands it is for must not name others.
    for tag, body in tagged_paragraphs(parts.get("OPTIONS", [])):
        option = roff_text(tag).split(" ")[0]
        if not body or body[0].strip() != "With":
            continue
        named = []
        for line in body[1:]:
            named += re.findall(r"[a-z]+", roff_text(line).split(":")[0])
            if ":" in line:
                break
        for command in named:
            if command in per_command and option not in per_command[command]:
                problems.append(f"{option} says it is for {command}, which refuses it")
    return problems


def markdown_examples(path):
    """(line number, command, expected lines) of every ```console block; and the line numbers
    of commands shown in other blocks, which no test would run."""
    examples, unchecked = [], []
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    fence = None
    for number, line in enumerate(lines, 1):
        if line.lstrip().startswith("```"):
            fence = None if fence is not None else line.lstrip()[3:].strip()
            continue
        if fence is None:
            continue
        if fence != "console":
            if re.match(r"\s*\$ ", line):
                unchecked.append(number)
            continue
        if line.startswith("$ "):
            examples.append((number, line[2:], []))
        elif examples:
            examples[-1][2].append(line)
    return examples, unchecked


def manpage_examples(path):
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    examples = []
    for tag, body in tagged_paragraphs(sections(lines).get("EXAMPLES", [])):
        number = lines.index(tag) + 1
        expected = [b.split("expect:", 1)[1].strip() for b in body if b.startswith('.\\" expect:')]
        examples.append((number, roff_text(tag), expected))
    return examples


def matches(expected, got):
    """Whether the lines got are those expected, a "..." line standing for any lines."""
    if not expected:
        return not got
    if expected[0] == "...":
        return any(matches(expected[1:], got[i:]) for i in range(len(got) + 1))
    return bool(got) and got[0] == expected[0] and matches(expected[1:], got[1:])


def check_examples(bin_dir, input_dir, files):
    problems, count = [], 0
    with tempfile.TemporaryDirectory() as scratch:
        work = os.path.join(scratch, "work")
        shutil.copytree(input_dir, work)
        config = os.path.join(scratch, "config")
        os.mkdir(config)
        env = dict(os.environ, TZ=USER_ZONE, XDG_CONFIG_HOME=config, LC_ALL="C.UTF-8")
        # The clock stands at FAKE_TIME (local time) for every command: libfaketime, preloaded.
        env["LD_PRELOAD"] = os.environ["CORVANA_LIBFAKETIME"]
        env["FAKETIME"] = FAKE_TIME
        # In the sanitizer tree faketime's library is preloaded ahead of the sanitizer runtime.
        env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0"
        env["PATH"] = os.path.abspath(bin_dir) + os.pathsep + env.get("PATH", "")

        def shell(command):
            done = subprocess.run(
                ["bash", "-c", command],
                cwd=work,
                env=env,
                stdout=subprocess.PIPE,
                stderr=subprocess.STDOUT,
                text=True,
            )
            return done.returncode, done.stdout.splitlines()

        for path in files:
            name = os.path.relpath(path)
            if path.endswith(".md"):
                examples, unchecked = markdown_examples(path)
                for number in unchecked:
                    problems.append(f"{name}:{number}: a command outside a console block")
                for number, command, expected in examples:
                    count += 1
                    _, got = shell(command)
                    if not matches(expected, got):
                        problems.append(
                            f"{name}:{number}: $ {command}\n  expected:\n    "
                            + "\n    ".join(expected)
                            + "\n  got:\n    "
                            + "\n    ".join(got)
                        )
            else:
                for number, command, expected in manpage_examples(path):
                    count += 1
                    status, got = shell(command)
                    text = "\n".join(got)
                    if status != 0:
                        problems.append(f"{name}:{number}: {command}: exit status {status}")
                    for e in expected:
                        if e not in text:
                            problems.append(f"{name}:{number}: {command}: no {e!r} in:\n{text}")
    if count == 0:
        problems.append("no examples found")
    return problems


def main(argv):
    if len(argv) == 4 and argv[1] == "options":
        problems = check_options(argv[2], argv[3])
    elif len(argv) >= 5 and argv[1] == "examples":
        problems = check_examples(argv[2], argv[3], argv[4:])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for p in problems:
        print("FAIL:", p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
