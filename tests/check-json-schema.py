#!/usr/bin/python3
"""Checks every JSON file in the folders given against a JSON schema.

    check-json-schema.py SCHEMA FOLDER...

Prints one line per file and every error; exits 1 on any error, or when no file was found.
"""
import json, pathlib, sys

import jsonschema

schema = json.loads(pathlib.Path(sys.argv[1]).read_text())
validator = jsonschema.Draft202012Validator(schema)
files = sorted(f for folder in sys.argv[2:] for f in pathlib.Path(folder).glob("*.json"))
failed = not files
for path in files:
    errors = sorted(validator.iter_errors(json.loads(path.read_text())), key=lambda e: list(e.path))
    print(f"{path.name}: {'ok' if not errors else f'{len(errors)} errors'}")
    for error in errors:
        print(f"  at /{'/'.join(map(str, error.path))}: {error.message}")
    failed = failed or bool(errors)
print("no JSON file found" if not files else f"{len(files)} files checked")
sys.exit(1 if failed else 0)
