#!/usr/bin/env python3
"""Turn Debian's Mueller (English) and FreeDict (German) dictd files into a carro TSV source.

usage: dictd_to_tsv.py OUTPUT.tsv [DICTD_DIR]
"""
import datetime
import gzip
import html
import os
import re
import sys
import time

SOURCES = [("mueller7", 2), ("freedict-deu-rus", 5)]  # (dictd name, language code)
GROUP_MAX = 8
B64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"

# Mueller writes ɜ for schwa, ɘ for the o-sounds and arrows for stress;
# the usual IPA symbols are mapped too in case the data is ever revised.
IPA = {
    "ə": "e", "ɜ": "e", "ɛ": "e", "æ": "a", "ɑ": "a", "ʌ": "a", "ɔ": "o", "ɒ": "o",
    "ɘ": "o", "ɪ": "i", "ʊ": "u", "ʃ": "sh", "ʒ": "zh", "θ": "th", "ð": "dh",
    "ŋ": "ng", "ː": ":", "ˈ": "'", "ˌ": ",", "↗": "'", "↘": ",",
}
# Windows-1251 has no umlauts: German is spelled as the bundled dictionary spells it.
GERMAN = {"ä": "ae", "ö": "oe", "ü": "ue", "Ä": "Ae", "Ö": "Oe", "Ü": "Ue", "ß": "ss"}
TO_CP1251 = str.maketrans({**IPA, **GERMAN})
CYR = "\u0400-\u04ff"
# Words joined by blanks; a comma, semicolon, bracket, digit or Latin letter ends the run.
CYR_RUN = re.compile(rf"[{CYR}]+(?:-[{CYR}]+)*(?:\s+[{CYR}]+(?:-[{CYR}]+)*)*")
# Labels (_n., _разг.), homonym numbers (_II), asides in brackets, sense numbers
# (1), а), 2.) and abbreviations (см., г., что-л.) often come before the equivalent;
# they are cut out and end the run they sit in.
NOISE = re.compile(rf"_\S+|\([^()]*\)|\[[^\]]*\]|\{{[^}}]*\}}|\d\S*|\b[{CYR}]\)|[{CYR}-]+\.")
# Mueller's cross-references (_p. от go 1, = alley 1 и 2) join with these; an
# entry with no other Cyrillic is only a cross-reference and is dropped.
CONNECTIVES = {"от", "и", "к", "см"}
STRESS = "\u0301"  # Russian stress accent: not in Windows-1251, and it would split synonyms


def b64(s):
    n = 0
    for c in s:
        n = n * 64 + B64.index(c)
    return n


def entries(dictd_dir, name):
    """Yield the text of each real entry, in index order."""
    with gzip.open(os.path.join(dictd_dir, name + ".dict.dz")) as f:
        data = f.read()
    with open(os.path.join(dictd_dir, name + ".index"), encoding="utf-8") as f:
        for line in f:
            head, off, length = line.rstrip("\n").split("\t")
            if head.startswith(("00database", "00-database")):
                continue
            off, length = b64(off), b64(length)
            yield data[off:off + length].decode("utf-8")


def translation(body, skip):
    for m in CYR_RUN.finditer(NOISE.sub("|", body)):
        words = m.group(0).split()
        if not set(words) <= skip:
            return " ".join(words)
    return ""


def convert(text, lang):
    text = text.replace(STRESS, "").translate(TO_CP1251)
    first, _, body = text.partition("\n")
    tr = translation(body, CONNECTIVES if lang == 2 else set())
    if not tr:
        return None
    if lang == 2:
        term = first.strip()
        m = re.search(r"\[([^\]]*)\]", body)
        transcription = m.group(1) if m else ""
    else:
        # "Judaskuss /ˈjuːdasˌkʊs/ <n, masc>": the index only has it lower-cased
        term = re.split(r"\s+[/<]", first, maxsplit=1)[0].strip()
        transcription = ""
    lines = (html.escape(l.strip(), quote=False) for l in body.split("\n"))
    definition = "<br>".join(l for l in lines if l)
    return {"term": term, "translation": tr, "lang": lang, "definition": definition,
            "group": 0, "transcription": transcription}


def synonym_groups(articles):
    """Articles sharing a translation, in id order, form groups of up to GROUP_MAX."""
    by_tr = {}
    for a in articles:
        by_tr.setdefault(a["translation"], []).append(a)
    for same in by_tr.values():
        for i in range(0, len(same), GROUP_MAX):
            run = same[i:i + GROUP_MAX]
            if len(run) > 1:
                for a in run:
                    a["group"] = run[0]["id"]


def field(v):
    return (str(v).replace("\\", "\\\\").replace("\t", "\\t")
            .replace("\n", "\\n").replace("\r", "\\r"))


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__.strip())
    out = sys.argv[1]
    dictd_dir = sys.argv[2] if len(sys.argv) == 3 else "/usr/share/dictd"
    started = time.monotonic()
    articles = []
    for name, lang in SOURCES:
        kept = skipped = 0
        for text in entries(dictd_dir, name):
            article = convert(text, lang)
            if article is None:
                skipped += 1
                continue
            article["id"] = len(articles) + 1
            articles.append(article)
            kept += 1
        print(f"{name}: {kept} articles, {skipped} entries skipped (no Russian equivalent)")
    synonym_groups(articles)

    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write("# infoText1: Large benchmark corpus\n"
                "# infoText2: Built from Debian packages mueller7-dict and dict-freedict-deu-rus\n"
                f"# dataVersion: {datetime.date.today().isoformat()}\n"
                "# requiredVersion: 1.0\n")
        f.write("\t".join(["id", "term", "translation", "language", "definition",
                           "synonymGroup", "extraText", "seeAlso", "transcription"]) + "\n")
        for a in articles:
            row = [a["id"], a["term"], a["translation"], a["lang"], a["definition"],
                   a["group"], "", "", a["transcription"]]
            f.write("\t".join(field(v) for v in row) + "\n")
    grouped = sum(1 for a in articles if a["group"])
    print(f"total: {len(articles)} articles ({grouped} in synonym groups), "
          f"{os.path.getsize(out)} bytes, {time.monotonic() - started:.1f} s")


if __name__ == "__main__":
    main()
