#!/usr/bin/python3
"""Saves two_materials.xls again as password.xls, encrypted with the password "secret".

Run once by hand with LibreOffice Calc and its Python bridge installed
(Debian: libreoffice-calc-nogui python3-uno); nothing in the build needs them.
"""
import os
import subprocess
import time

import uno
from com.sun.star.beans import PropertyValue

HERE = os.path.dirname(os.path.abspath(__file__))


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


office = subprocess.Popen(["soffice", "--headless", "--invisible", "--norestore",
                           "--accept=pipe,name=mbfixture;urp;"])
try:
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(60):
        try:
            ctx = resolver.resolve("uno:pipe,name=mbfixture;urp;StarOffice.ComponentContext")
            break
        except Exception:
            time.sleep(0.5)
    desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
    source = uno.systemPathToFileUrl(os.path.join(HERE, "two_materials.xls"))
    doc = desktop.loadComponentFromURL(source, "_blank", 0, (prop("Hidden", True),))
    target = uno.systemPathToFileUrl(os.path.join(HERE, "password.xls"))
    doc.storeToURL(target, (prop("FilterName", "MS Excel 97"), prop("Password", "secret")))
    doc.close(True)
finally:
    office.terminate()
    office.wait()
