#!/usr/bin/python3
"""Reads a DXF file the way CAD programs expect it and prints what the lx2dxf
tests compare, one item a line:

  version AC1009
  audit-errors N             what ezdxf's audit finds wrong (then one
  audit-error MESSAGE        line each)
  layer NAME                 the LAYER table, sorted
  entities LAYER TYPE COUNT  entities per layer and type, sorted
  at ID X Y point|no-point   for each ID given: where its TEXT label stands
                             (metres, 4 decimals) and whether a POINT lies there

usage: dxf_check.py FILE.dxf [ID ...]
Run with Debian's python3 (/usr/bin/python3), which has python3-ezdxf.
Exits 1 when ezdxf cannot read the file (ezdxf.readfile, no recovery).
"""
import collections
import sys

import ezdxf


def main():
    path, ids = sys.argv[1], sys.argv[2:]
    try:
        doc = ezdxf.readfile(path)
    except (IOError, ezdxf.DXFError) as error:
        print("unreadable", error)
        return 1
    auditor = doc.audit()
    print("version", doc.dxfversion)
    print("audit-errors", len(auditor.errors))
    for entry in auditor.errors:
        print("audit-error", entry.message)
    for name in sorted(layer.dxf.name for layer in doc.layers):
        print("layer", name)
    counts = collections.Counter((entity.dxf.layer, entity.dxftype()) for entity in doc.modelspace())
    for (layer, kind), count in sorted(counts.items()):
        print("entities", layer, kind, count)
    points = {(round(p.dxf.location.x, 4), round(p.dxf.location.y, 4)) for p in doc.modelspace().query("POINT")}
    for wanted in ids:
        for text in doc.modelspace().query("TEXT"):
            if text.dxf.text == wanted:
                x, y = round(text.dxf.insert.x, 4), round(text.dxf.insert.y, 4)
                print("at", wanted, f"{x:.4f}", f"{y:.4f}", "point" if (x, y) in points else "no-point")
    return 0


if __name__ == "__main__":
    sys.exit(main())
