#!/usr/bin/env python3
"""Writes the HTML Help's halibut source from the WinHelp one: each unnumbered
chapter becomes a chapter with a keyword, so that its page is named by it
(setup.html, about.html...): the topic's WinHelp name where it has one, else the
keyword of the entry that opens it. Chapters show no word before their number,
and the entries' keywords get a suffix so as not to clash with the chapters'.
Usage: chmsource.py SOURCE.but OUT.but
"""
import re
import sys

source, out = sys.argv[1], sys.argv[2]
text = open(source, encoding="utf-8").read()
chapters = re.split(r"(?m)^\\U ", text)
pages = [chapters[0]]
for chapter in chapters[1:]:
    entry = re.search(r"\\BR\{(\w+)\}", chapter)
    topic = re.search(r"\\cfg\{winhelp-topic\}\{(\w+)\}", chapter)
    if not entry:
        sys.exit(f"chmsource: a chapter without its entry: {chapter.splitlines()[0]}")
    pages.append("\\C{%s} %s" % ((topic or entry).group(1), chapter))
text = "".join(pages)
text = re.sub(r"\\(BR|B|k)\{(\w+)\}", r"\\\1{\2-entry}", text)
config = "\\cfg{chapter}{}\n\\cfg{chm-template-filename}{%k.html}\n"
open(out, "w", encoding="utf-8").write(config + text)
