#!/usr/bin/env python3
# Prints the catalogue embedded in a phone export page, opening the sealed form with the
# passphrase given as the second argument. An implementation of its own, independent of ours.
import base64
import html.parser
import json
import sys

from cryptography.hazmat.primitives import hashes
from cryptography.hazmat.primitives.ciphers.aead import AESGCM
from cryptography.hazmat.primitives.kdf.pbkdf2 import PBKDF2HMAC


class DataElement(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.inside = False
        self.text = None

    def handle_starttag(self, tag, attrs):
        self.inside = tag == "script" and ("id", "keymoor-data") in attrs

    def handle_endtag(self, tag):
        self.inside = False

    def handle_data(self, data):
        if self.inside:
            self.text = data


parser = DataElement()
with open(sys.argv[1], encoding="utf-8") as page:
    parser.feed(page.read())
data = json.loads(parser.text)
if len(sys.argv) > 2:
    assert data["version"] == 1 and data["kdf"] == "PBKDF2-SHA256", data
    kdf = PBKDF2HMAC(algorithm=hashes.SHA256(), length=32, salt=base64.b64decode(data["salt"]),
                     iterations=data["iterations"])
    key = kdf.derive(sys.argv[2].encode("utf-8"))
    plain = AESGCM(key).decrypt(base64.b64decode(data["iv"]), base64.b64decode(data["ciphertext"]), None)
    data = json.loads(plain.decode("utf-8"))
json.dump(data, sys.stdout)
