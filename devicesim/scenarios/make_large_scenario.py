#!/usr/bin/env python3
"""Writes large.json: 256 ports, 256 phones, 64 clients and 88 further objects, for the benchmarks.

Everything is derived from the index, so the file is the same on every run.
"""
import json
import os
import sys

PORTS = 256
CLIENTS = 64
# Further objects by type: agents of other tools (8), and types 4 and 0x10 that no view shows but
# an object tree lists all the same.
OBJECTS = [(8, 64), (4, 16), (0x10, 8)]
AGENT_CLASSES = ["OstrelConfigAgent", "ToolAgent"]
STATES = ["enabled", "enabled", "enabled", "disabled", "pending", "waiting", "unavailable", "enabled"]
LINKS = ["serial", "usb", "usb", "network"]
MODELS = ["VX-210", "Tarn 5", "Halden S2", "Morrow 3", "Quill 8"]


def port(index):
    link = LINKS[index % len(LINKS)]
    entry = {
        "id": index + 1,
        "name": f"COM{index + 1}" if link != "network" else f"rack{index // 4}:{2500 + index}",
        "label": f"Station {index + 1}",
        "state": STATES[index % len(STATES)],
        "link": link,
    }
    if link == "network":
        entry.update({"host": f"rack{index // 4}", "networkPort": 2500 + index, "linkQualifier": "q"})
    if index % 16 == 0:
        entry["listeners"] = [{"cookie": index, "bytes": index * 1024}]
    return entry


def phone(index):
    mode = 12 if index % 32 == 5 else 6 if index % 16 == 3 else 5
    entry = {
        "id": 1001 + index,
        "port": index + 1,
        "esn": str(0x10000000 + index * 7919),
        "phoneNumber": f"555{index:04d}",
        "phoneName": f"Unit {index + 1}",
        "modelText": MODELS[index % len(MODELS)],
        "modelNumber": 40 + index % 5,
        "banner": "READY",
        "stateText": "Online",
        "mode": mode,
        "locked": index % 50 == 7,
        "formFactor": index % 10,
        "phoneStatus": 1 + index % 9,
    }
    if index % 64 == 9:
        entry["meid"] = f"A00000{index:08X}"
    if index % 8 == 0:
        entry["efs"] = {"present": True, "version": 2,
                        "files": [{"name": "RDM_DEV_MAP", "text": f"placeholder device map ({index + 1})"}]}
    return entry


def client(index):
    return {
        "id": 2001 + index,
        "name": f"Tool {index + 1}",
        "machine": f"host{index % 8}",
        "processId": 1000 + index,
        "version": f"1.{index % 10}",
        "startTime": f"2006-03-14 {8 + index // 60:02d}:{index % 60:02d}:00",
    }


def further_objects():
    objects = []
    for object_type, count in OBJECTS:
        for index in range(count):
            if object_type == 8:
                class_name, name = AGENT_CLASSES[index % len(AGENT_CLASSES)], f"Agent {index + 1}"
            else:
                class_name, name = f"Component{object_type:02X}", f"Component {object_type:#x}.{index + 1}"
            objects.append({
                "id": 3001 + len(objects),
                "className": class_name,
                "name": name,
                "type": object_type,
                "version": f"2.{index % 4}",
            })
    return objects


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "large.json")
    scenario = {
        "name": "large",
        "ports": [port(i) for i in range(PORTS)],
        "phones": [phone(i) for i in range(PORTS)],
        "clients": [client(i) for i in range(CLIENTS)],
        "objects": further_objects(),
    }
    with open(target, "w", encoding="utf-8", newline="\n") as out:
        json.dump(scenario, out, indent=1)
        out.write("\n")


if __name__ == "__main__":
    main()
