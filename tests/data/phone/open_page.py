#!/usr/bin/env python3
# Prints the catalogue embedded in a phone export page, opening the sealed form with the
# passphrase given as the second argument; with --icons, prints the icon map instead (an empty
# object when the page has none). An implementation of its own, independent of ours.
import base64
import html.parser
import json
import sys

from cryptography.hazmat.primitives import hashes
from cryptography.hazmat.primitives.ciphers.aead import AESGCM
from cryptography.hazmat.primitives.kdf.pbkdf2 import PBKDF2HMAC


class DataElements(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.inside = None
        self.texts = {}

    def handle_starttag(self, tag, attrs):
        ids = [value for name, value in attrs if name == "id"]
        self.inside = ids[0] if tag == "script" and ids else None

    def handle_endtag(self, tag):
        self.inside = None

    def handle_data(self, data):
        if self.inside:
            self.texts[self.inside] = data


def opened(box, passphrase):
    assert box["version"] == 1 and box["kdf"] == "PBKDF2-SHA256", box
    kdf = PBKDF2HMAC(algorithm=hashes.SHA256(), length=32, salt=base64.b64decode(box["salt"]),
                     iterations=box["iterations"])
    key = kdf.derive(passphrase.encode("utf-8"))
    plain = AESGCM(key).decrypt(base64.b64decode(box["iv"]), base64.b64decode(box["ciphertext"]), None)
    return json.loads(plain.decode("utf-8"))


arguments = [argument for argument in sys.argv[1:] if argument != "--icons"]
element = "keymoor-icons" if "--icons" in sys.argv[1:] else "keymoor-data"
parser = DataElements()
with open(arguments[0], encoding="utf-8") as page:
    parser.feed(page.read())
if element not in parser.texts:
    json.dump({}, sys.stdout)
    sys.exit(0)
data = json.loads(parser.texts[element])
if len(arguments) > 1:
    data = opened(data, arguments[1])
json.dump(data, sys.stdout)
