#!/usr/bin/env python3
"""A host written in Python (standard library only) that finds the reconciliation component by
its ProgID in the per-user component registry, loads the library that the registry names with
ctypes, and calls hookBill through the plain C surface.

Unlike the C example, this host brings no document finder of its own: the window's outbound
lookup creates the finder plugin that the registry names for the finder's class identifier.
With --finder-plugin PATH the host registers that plugin first (a host's set-up step); without
it, it relies on a registration that is already there and says which plugin that is.

    xhook_host.py --register LIBRARY       registers the component at LIBRARY (DllRegisterServer)
    xhook_host.py [--finder-plugin PATH] IDS

Prints the call's status; exits 0 when hookBill succeeded.
"""

import argparse
import configparser
import ctypes
import os
import sys

PROG_ID = "DeZuvarEDodOziv8.clsXoutBillHook"
FINDER_CLSID = "{F295C352-DBCE-4A72-B206-4C4E87837FD8}"
XHOOK_OK = 0


def registry_path():
    overridden = os.environ.get("XHOOK_COMPONENT_REGISTRY")
    if overridden:
        return overridden
    config = os.environ.get("XDG_CONFIG_HOME") or os.path.expanduser("~/.config")
    return os.path.join(config, "ComponentRegistry.ini")


def read_registry():
    registry = configparser.ConfigParser(interpolation=None, strict=False)
    registry.optionxform = str  # keys keep their case, as the component writes them
    registry.read(registry_path(), encoding="utf-8")
    return registry


def library_for_prog_id(registry, prog_id):
    for clsid in registry.sections():
        section = registry[clsid]
        if section.get("ProgID", "").lower() == prog_id.lower() and section.get("Path"):
            return section["Path"]
    return None


def register_finder_plugin(plugin):
    """Records the plugin under the finder's class identifier, as the stand-alone host does."""
    registry = read_registry()
    registry[FINDER_CLSID] = {
        "ProgID": "XHookHost.DocumentFinder",
        "Path": os.path.abspath(plugin),
        "ThreadingModel": "Apartment",
        "LIBID": "",
        "Version": "1.0",
    }
    path = registry_path()
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w", encoding="utf-8") as out:
        registry.write(out, space_around_delimiters=False)


def load_component(library_file):
    library = ctypes.CDLL(library_file)
    library.xhook_create.argtypes = [
        ctypes.POINTER(ctypes.c_void_p),
        ctypes.POINTER(ctypes.c_long),
        ctypes.POINTER(ctypes.c_void_p),
    ]
    library.xhook_create.restype = ctypes.c_int
    library.xhook_hook_bill.argtypes = [
        ctypes.c_void_p,
        ctypes.c_char_p,
        ctypes.POINTER(ctypes.c_int),
        ctypes.POINTER(ctypes.c_long),
        ctypes.POINTER(ctypes.c_void_p),
    ]
    library.xhook_hook_bill.restype = ctypes.c_int
    library.xhook_release.argtypes = [ctypes.c_void_p]
    library.xhook_release.restype = ctypes.c_int
    # The description is taken as a plain pointer, so that it can be given back to be freed.
    library.xhook_free_string.argtypes = [ctypes.c_void_p]
    library.xhook_free_string.restype = None
    return library


def take_description(library, pointer):
    """The error description as text; frees the component's string."""
    if not pointer.value:
        return ""
    text = ctypes.string_at(pointer.value).decode("utf-8", "replace")
    library.xhook_free_string(pointer)
    return text


def hook_bill(library, ids):
    """Creates an instance, calls hookBill; returns (status, result, error number, description)."""
    instance = ctypes.c_void_p()
    number = ctypes.c_long(0)
    description = ctypes.c_void_p()
    result = ctypes.c_int(-1)
    status = library.xhook_create(ctypes.byref(instance), ctypes.byref(number), ctypes.byref(description))
    if status == XHOOK_OK:
        status = library.xhook_hook_bill(
            instance, ids.encode("utf-8"), ctypes.byref(result), ctypes.byref(number), ctypes.byref(description)
        )
    text = take_description(library, description)
    library.xhook_release(instance)
    return status, result.value, number.value, text


def register_component(library_file):
    status = ctypes.CDLL(library_file).DllRegisterServer()
    print(f"DllRegisterServer: status {status}")
    return 0 if status == XHOOK_OK else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--register", metavar="LIBRARY", help="register the component at LIBRARY")
    parser.add_argument("--finder-plugin", help="register this document finder plugin first")
    parser.add_argument("ids", nargs="?", help="invoice ids separated by ','")
    arguments = parser.parse_args()
    if arguments.register:
        return register_component(arguments.register)
    if arguments.ids is None:
        parser.error("invoice ids are required")

    if arguments.finder_plugin:
        register_finder_plugin(arguments.finder_plugin)
    registry = read_registry()
    finder = registry[FINDER_CLSID].get("Path") if registry.has_section(FINDER_CLSID) else None
    print("finder: " + (f"plugin {finder}" if finder else "none registered; the lookup will report it"))

    library_file = library_for_prog_id(registry, PROG_ID)
    if not library_file:
        print(f"{PROG_ID} is not registered in {registry_path()}", file=sys.stderr)
        return 1
    status, result, number, description = hook_bill(load_component(library_file), arguments.ids)
    if status == XHOOK_OK:
        print(f"hookBill({arguments.ids}): status {status}, result {result}")
        return 0
    print(f"hookBill({arguments.ids}) failed: status {status}, error {number}: {description}")
    return 1


if __name__ == "__main__":
    sys.exit(main())
