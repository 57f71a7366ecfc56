#!/usr/bin/env python3
"""Runs every example of a document and compares what it shows.

  check_docs.py QLR DOCUMENT

DOCUMENT is Markdown, or a manual page (a name ending in ".1"), whose
literal displays (.Bd -literal) are examples: one that starts with "$ qlr"
alone is a ```repl session (the rest of it), any other that starts with "$ "
is a ```console block.

The document's fenced blocks follow these conventions (all other blocks, such
as ```text for grammar sketches, are left alone):

  ```qlr      a script. It is written to example.qlr, or to NAME when its first
              line is "# file: NAME", in a working folder kept for the whole
              document, so that later blocks can load earlier ones as modules.
              The next fenced block must be its ```output (optionally after a
              ```stdin block); only a "# file:" block may have none, and is
              then only written.
  ```stdin    what the script reads on standard input.
  ```output   what the script shows on a terminal: standard output, then, for a
              run ended by an error, its report on standard error. The info
              string "output status N" expects exit status N instead of 0.
  ```repl     a session of the interactive loop: lines that start with the
              prompt "qlr> " or "...> " are typed, everything else is shown by
              qlr. A last bare prompt stands for the end of input (Ctrl-D).
  ```console  shell commands, each on a line starting with "$ ", followed by
              what it shows; they run in the working folder with qlr on PATH.

Scripts and commands run on a pseudo-terminal, so their standard output is
line-buffered and interleaves with standard error as a user sees it.
"""
import fcntl
import os
import re
import select
import subprocess
import sys
import tempfile
import time

TIMEOUT = 60
PROMPTS = ("qlr> ", "...> ")


class Block:
    def __init__(self, tag, args, text, line):
        self.tag, self.args, self.text, self.line = tag, args, text, line


def fenced_blocks(path):
    blocks, current = [], None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if current is None:
                if line.startswith("```"):
                    words = line[3:].split()
                    current = Block(words[0] if words else "", words[1:], [], number)
            elif line.rstrip("\n") == "```":
                current.text = "".join(current.text)
                blocks.append(current)
                current = None
            else:
                current.text.append(line)
    if current is not None:
        raise SystemExit("%s:%d: unclosed fence" % (path, current.line))
    return blocks


def manual_blocks(path):
    blocks, current = [], None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.startswith(".Bd -literal"):
                current = Block("", [], [], number)
            elif current is not None and line.startswith(".Ed"):
                lines = current.text
                if lines and lines[0] == "$ qlr\n":
                    current.tag, current.text = "repl", "".join(lines[1:])
                elif lines and lines[0].startswith("$ "):
                    current.tag, current.text = "console", "".join(lines)
                else:
                    raise SystemExit("%s:%d: an example must start with a '$ ' command" % (path, number))
                blocks.append(current)
                current = None
            elif current is not None:
                current.text.append(line.replace("\\&", "").replace("\\e", "\\"))
    return blocks


def run_on_terminal(argv, cwd, stdin_text, env=None):
    """Runs argv with standard output and error on a pseudo-terminal."""
    master, slave = os.openpty()
    proc = subprocess.Popen(argv, cwd=cwd, env=env, stdin=subprocess.PIPE,
                            stdout=slave, stderr=slave)
    os.close(slave)
    proc.stdin.write(stdin_text.encode())
    proc.stdin.close()
    chunks, deadline = [], time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        ready, _, _ = select.select([master], [], [], 1)
        if not ready:
            if proc.poll() is not None:
                break
            continue
        try:
            data = os.read(master, 65536)
        except OSError:  # the terminal closes once every writer has gone
            break
        if not data:
            break
        chunks.append(data)
    os.close(master)
    try:
        status = proc.wait(timeout=max(1, deadline - time.monotonic()))
    except subprocess.TimeoutExpired:
        proc.kill()
        return "<timed out>", -1
    return b"".join(chunks).decode("utf-8", "replace").replace("\r\n", "\n"), status


def check_script(qlr, workdir, block, stdin_block, output):
    first = block.text.split("\n", 1)[0]
    named = re.fullmatch(r"# file: (\S+)", first)
    name = named.group(1) if named else "example.qlr"
    with open(os.path.join(workdir, name), "w", encoding="utf-8") as f:
        f.write(block.text)
    if output is None:
        return None if named else "a qlr block needs an output block after it"
    want_status = 0
    if output.args:
        if len(output.args) != 2 or output.args[0] != "status":
            return "output info string must be 'output' or 'output status N'"
        want_status = int(output.args[1])
    got, status = run_on_terminal([qlr, name], workdir, stdin_block.text if stdin_block else "")
    problems = []
    if status != want_status:
        problems.append("exit status %d, expected %d" % (status, want_status))
    if got != output.text:
        problems.append("output differs\n--- got\n%s--- expected\n%s---" % (got, output.text))
    return "; ".join(problems) or None


def read_turn(proc, streams, end_of_input):
    """Reads what qlr shows until it prompts again (or exits): stdout, stderr."""
    got = {stream: b"" for stream in streams}
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        out = got[proc.stdout].decode("utf-8", "replace")
        if not end_of_input and out.endswith(PROMPTS):
            break
        open_streams = [s for s in streams if not s.closed]
        if not open_streams:
            break
        ready, _, _ = select.select(open_streams, [], [], 1)
        for stream in ready:
            data = os.read(stream.fileno(), 65536)
            if data:
                got[stream] += data
            else:
                stream.close()
    # What the entry wrote to standard error was written before the prompt.
    if not proc.stderr.closed:
        try:
            got[proc.stderr] += os.read(proc.stderr.fileno(), 65536)
        except BlockingIOError:
            pass
    return got[proc.stdout].decode("utf-8", "replace"), got[proc.stderr].decode("utf-8", "replace")


def check_repl(qlr, workdir, block):
    lines = block.text.split("\n")[:-1]
    typed = [line[len(PROMPTS[0]):] for line in lines if line.startswith(PROMPTS) or line.rstrip() in ("qlr>", "...>")]
    last_is_bare_prompt = bool(lines) and lines[-1].rstrip() in ("qlr>", "...>")
    if last_is_bare_prompt:
        typed.pop()
    proc = subprocess.Popen([qlr], cwd=workdir, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    streams = [proc.stdout, proc.stderr]
    fcntl.fcntl(proc.stderr.fileno(), fcntl.F_SETFL, os.O_NONBLOCK)
    shown = ""
    for index in range(len(typed) + 1):
        end = index == len(typed)
        if end:
            proc.stdin.close()
        out, err = read_turn(proc, streams, end)
        prompt = next((p for p in PROMPTS if out.endswith(p)), "")
        shown += out[:len(out) - len(prompt)] + err + prompt
        if not end:
            shown += typed[index] + "\n"
            try:
                proc.stdin.write((typed[index] + "\n").encode())
                proc.stdin.flush()
            except BrokenPipeError:
                return "qlr stopped reading before the line %r" % typed[index]
    status = proc.wait(timeout=TIMEOUT)
    got = [line.rstrip() for line in shown.split("\n")]
    want = [line.rstrip() for line in block.text.split("\n")]
    if got != want:
        return "session differs\n--- got\n%s\n--- expected\n%s---" % ("\n".join(got), block.text)
    if status != 0:
        return "the interactive loop ended with status %d" % status
    return None


def check_console(qlr, workdir, block):
    env = dict(os.environ, PATH=os.path.dirname(os.path.abspath(qlr)) + os.pathsep + os.environ["PATH"])
    commands, current = [], None
    for line in block.text.split("\n")[:-1]:
        if line.startswith("$ "):
            current = [line[2:], ""]
            commands.append(current)
        elif current is None:
            return "a console block starts with a '$ ' command"
        else:
            current[1] += line + "\n"
    problems = []
    for command, want in commands:
        got, _ = run_on_terminal(["sh", "-c", command], workdir, "", env)
        if got != want:
            problems.append("$ %s\n--- got\n%s--- expected\n%s---" % (command, got, want))
    return "\n".join(problems) or None


def main():
    qlr, document = os.path.abspath(sys.argv[1]), sys.argv[2]
    blocks = manual_blocks(document) if document.endswith(".1") else fenced_blocks(document)
    failures, checked, i = [], 0, 0
    with tempfile.TemporaryDirectory(prefix="qlr-docs-") as workdir:
        while i < len(blocks):
            block = blocks[i]
            i += 1
            problem = None
            if block.tag == "qlr":
                stdin_block = output = None
                if i < len(blocks) and blocks[i].tag == "stdin":
                    stdin_block, i = blocks[i], i + 1
                if i < len(blocks) and blocks[i].tag == "output":
                    output, i = blocks[i], i + 1
                problem = check_script(qlr, workdir, block, stdin_block, output)
                checked += output is not None
            elif block.tag == "repl":
                problem = check_repl(qlr, workdir, block)
                checked += 1
            elif block.tag == "console":
                problem = check_console(qlr, workdir, block)
                checked += 1
            elif block.tag in ("stdin", "output"):
                problem = "a %s block must follow a qlr block" % block.tag
            if problem:
                failures.append("%s:%d: %s" % (document, block.line, problem))
    for failure in failures:
        print(failure)
    print("%s: %d examples checked, %d failed" % (os.path.basename(document), checked, len(failures)))
    return 1 if failures or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
