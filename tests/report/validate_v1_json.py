#!/usr/bin/env python3
"""Every --json answer of `zebevi trip|find|order|flags` over each kind of demo
document and user group against the version 1 JSON Schemas.
usage: validate_v1_json.py ZEBEVI_EXE SCHEMA_DIR"""
import copy
import json
import pathlib
import subprocess
import sys
import tempfile

import jsonschema

SCHEMAS = {"trip": "trip-summary", "flags": "feature-flags", "find": "document-matches",
           "order": "order-documents"}


def load_validators(folder):
    store = {}
    for path in sorted(folder.glob("*.schema.json")):
        schema = json.loads(path.read_text(encoding="utf-8"))
        jsonschema.Draft202012Validator.check_schema(schema)
        store[schema["$id"]] = schema
    validators = {}
    for verb, name in SCHEMAS.items():
        schema = store["urn:zebevi:json:v1:" + name]
        resolver = jsonschema.RefResolver(base_uri=schema["$id"], referrer=schema, store=store)
        validators[verb] = jsonschema.Draft202012Validator(schema, resolver=resolver)
    return validators


def run(exe, args):
    done = subprocess.run([exe, *args], capture_output=True, text=True, check=False)
    return done.returncode, done.stdout, done.stderr


def cases(f):
    order, company = f["multi_document_order"], str(f["multi_document_order_company_id"])
    # (what, verb arguments, exit status[, whether the operation delivered]); a
    # group without grants is delivered, every flag N, with the message saying so.
    return [
        ("exchanged document", ["trip", str(f["exchanged_document_id"])], 0),
        ("plain document", ["trip", str(f["plain_document_id"])], 0),
        ("no route", ["trip", str(f["document_without_route_id"])], 0),
        ("cycle not measured", ["trip", str(f["document_without_cycle_id"])], 0),
        ("in transit, no arrival", ["trip", str(f["document_without_arrival_id"])], 0),
        ("customer's tracking", ["trip", str(f["plain_document_id"]), "--customer", "1"], 0),
        ("no such document", ["trip", "99999999"], 1),
        ("granted group", ["flags", str(f["granted_user_group_id"])], 0),
        ("refused group", ["flags", str(f["refused_user_group_id"])], 1, True),
        ("no such group", ["flags", "99999999"], 1, True),
        ("order match of a company", ["find", "--order", order, "--company", company], 0),
        ("document number match", ["find", "--document", f["plain_document_number"]], 0),
        ("no match", ["find", "--order", "no-such-order"], 1),
        ("not numeric", ["find", "--document", "12A"], 1),
        ("published order", ["order", order, "--company", company], 0),
        ("published order by consignee", ["order", order, "--cgc", f["consignee_cgc"]], 0),
        ("no such order, in English", ["order", "no-such-order", "--english"], 1),
        ("unknown company", ["order", order, "--company", "999999"], 1),
    ]


def unread_figures(node, path="$"):
    """The figures whose display the typed layer could not read."""
    if isinstance(node, dict):
        if set(node) == {"value", "display"} and node["display"] and node["value"] is None:
            yield f"{path}: {node['display']!r}"
        for key, item in node.items():
            yield from unread_figures(item, f"{path}.{key}")
    elif isinstance(node, list):
        for i, item in enumerate(node):
            yield from unread_figures(item, f"{path}[{i}]")


# Changes that break the contract, which the schemas must catch.
BREAKS = (
    lambda a: a["route"]["planned_time_of_day"].update(value="68:18"),
    lambda a: a["invoices"][0]["weight_kg"].update(value="3363,328"),
    lambda a: a["header"]["arrival"].update(actual={"value": None}),
    lambda a: a.update(extra=1),
    lambda a: a["cycle"]["times"].pop("loading_minutes"),
)


def main():
    exe, validators = sys.argv[1], load_validators(pathlib.Path(sys.argv[2]))
    failures, answers = [], {verb: [] for verb in SCHEMAS}
    with tempfile.TemporaryDirectory() as tmp:
        db = str(pathlib.Path(tmp) / "demo.db")
        status, out, err = run(exe, ["demo", "--documents", "300", "--json", db])
        if status != 0:
            sys.exit("zebevi demo failed: " + err)
        facts = json.loads(out)
        plain = json.loads(run(exe, ["trip", str(facts["plain_document_id"]), "--json", "--db", db])[1])
        facts["plain_document_number"] = plain["document"]["number"]
        for what, args, expected_status, *delivered in cases(facts):
            delivered = delivered[0] if delivered else expected_status == 0
            status, out, err = run(exe, [*args, "--json", "--db", db])
            label = f"{what} ({' '.join(args)})"
            if status != expected_status:
                failures.append(f"{label}: exit status {status}, expected {expected_status}: {err}")
                continue
            answer = json.loads(out)
            answers[args[0]].append(answer)
            failures += [f"{label}: {e.json_path}: {e.message}"
                         for e in validators[args[0]].iter_errors(answer)]
            if (answer["status"] == 0) != delivered:
                failures.append(f"{label}: status {answer['status']}")
            # Every text the demo data gives reads as its kind.
            if answer["status"] == 0:
                failures += [f"{label}: unread {where}" for where in unread_figures(answer)]
    for break_it in BREAKS:
        broken = copy.deepcopy(answers["trip"][0])
        break_it(broken)
        if validators["trip"].is_valid(broken):
            failures.append("a broken trip summary passed: " + json.dumps(broken)[:200])
    if failures:
        sys.exit("\n".join(failures))
    print(f"{sum(len(a) for a in answers.values())} answers valid")


if __name__ == "__main__":
    main()
