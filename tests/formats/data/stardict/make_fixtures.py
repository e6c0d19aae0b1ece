#!/usr/bin/env python3
"""Writes the StarDict fixtures of StarDictTest: motor.* (types per entry, with a .syn) and
motor-dz.* (the same with NAME.idx.gz and a dictzip NAME.dict.dz). Run once from this folder;
the binary files are committed."""
import functools
import gzip
import os
import struct
import subprocess

ENTRIES = [  # word, fields (type, bytes); several words may share one data block
    (["brake"], [("t", "брейк"), ("h", "тормоз<br>Устройство для <i>замедления</i> &amp; остановки автомобиля.")]),
    (["spark plug"], [("m", "свеча зажигания; свеча\nДеталь, поджигающая рабочую смесь в цилиндре.")]),
    (["Zündkerze"], [("x", "<k>Zündkerze</k>\n<tr>цюндкерце</tr>\nсвеча зажигания\nСм. <kref>spark plug</kref>")]),
    (["clutch"], [("g", "<b>сцепление</b>\nУзел между двигателем и <i>коробкой передач</i>.")]),
    (["camshaft"], [("h", "<p><b>camshaft</b></p><p>распределительный вал</p>"
                          "<p>Вал с кулачками, открывающий <b>клапаны</b>.</p>"),
                    ("P", b"\x89PNG\r\n\x1a\n\x00\x00")]),
    (["tyre", "tire"], [("m", "шина\nРезиновая оболочка колеса.")]),
]
SYNONYMS = [("тормоз", "brake"), ("brakes", "brake"), ("свеча", "spark plug")]


def fold(word):
    return bytes(b + 32 if 65 <= b <= 90 else b for b in word)


def stardict_order(a, b):
    a, b = a.encode(), b.encode()
    if fold(a) != fold(b):
        return -1 if fold(a) < fold(b) else 1
    return -1 if a < b else (1 if a > b else 0)


def field_bytes(kind, data):
    data = data if isinstance(data, bytes) else data.encode()
    if kind.isupper():
        return kind.encode() + struct.pack(">I", len(data)) + data
    return kind.encode() + data + b"\0"


dict_bytes = b""
index = []
for words, fields in ENTRIES:
    block = b"".join(field_bytes(kind, data) for kind, data in fields)
    for word in words:
        index.append((word, len(dict_bytes), len(block)))
    dict_bytes += block
index.sort(key=functools.cmp_to_key(lambda x, y: stardict_order(x[0], y[0])))
idx_bytes = b"".join(w.encode() + b"\0" + struct.pack(">II", o, s) for w, o, s in index)
position = {w: k for k, (w, _, _) in enumerate(index)}
synonyms = sorted(SYNONYMS, key=functools.cmp_to_key(lambda x, y: stardict_order(x[0], y[0])))
syn_bytes = b"".join(w.encode() + b"\0" + struct.pack(">I", position[t]) for w, t in synonyms)
ifo = ("StarDict's dict ifo file\nversion=2.4.2\nbookname=Моторный словарь\n"
       f"wordcount={len(index)}\nsynwordcount={len(synonyms)}\nidxfilesize={len(idx_bytes)}\n"
       "description=Несколько терминов автодела.<br>Составлено вручную.\n")

for name in ("motor", "motor-dz"):
    with open(name + ".ifo", "w", encoding="utf-8") as f:
        f.write(ifo)
    with open(name + ".syn", "wb") as f:
        f.write(syn_bytes)
with open("motor.idx", "wb") as f:
    f.write(idx_bytes)
with open("motor.dict", "wb") as f:
    f.write(dict_bytes)
with open("motor-dz.idx.gz", "wb") as f:
    f.write(gzip.compress(idx_bytes, mtime=0))
with open("motor-dz.dict", "wb") as f:
    f.write(dict_bytes)
if os.path.exists("motor-dz.dict.dz"):
    os.remove("motor-dz.dict.dz")
subprocess.run(["dictzip", "motor-dz.dict"], check=True)
