#!/usr/bin/env python3
"""Checks JSON Lines files against a JSON schema: every line must be one object the schema accepts.

    check_report.py SCHEMA FILE...

Exit status 0 when all lines pass, 1 when one does not (each problem printed), 2 when the jsonschema
module (Debian: python3-jsonschema) is missing."""
import json
import sys

try:
    import jsonschema
except ImportError:
    print("python3-jsonschema is not installed", file=sys.stderr)
    sys.exit(2)

with open(sys.argv[1], encoding="utf-8") as schema_file:
    validator = jsonschema.Draft7Validator(json.load(schema_file))
problems = 0
for name in sys.argv[2:]:
    with open(name, encoding="utf-8") as report:
        for number, line in enumerate(report, 1):
            try:
                document = json.loads(line)
            except ValueError as error:
                print(f"{name}:{number}: not JSON: {error}")
                problems += 1
                continue
            for error in validator.iter_errors(document):
                print(f"{name}:{number}: {error.message}")
                problems += 1
sys.exit(1 if problems else 0)
