#!/usr/bin/env python3
# Writes the same purchase mails as an mbox, a Maildir and a Thunderbird profile. Run it from this
# folder after changing a message; the stores are committed.
import os
import shutil

MESSAGES = [
    ("1614592800.M1P1.fixture", """From: Northwind Sales <orders@mail.northwind.example>
To: Jane Appleseed <jane@example.com>
Subject: Your order #10442
Date: Mon, 01 Mar 2021 10:00:00 +0000
Message-ID: <order-10442@northwind.example>
Content-Type: text/plain; charset=utf-8

Hi Jane,

Thank you for purchasing Northwind Pro 3!

Serial Number: NW3-1111-2222-3333

From now on you can enter it under Help > Register.
"""),
    ("1620640800.M2P1.fixture", """From: Northwind Sales <orders@mail.northwind.example>
To: Jane Appleseed <jane@example.com>
Subject: Your Northwind Pro 3 licence (sent again)
Date: Mon, 10 May 2021 10:00:00 +0000
Message-ID: <resend-10442@northwind.example>
Content-Type: text/plain; charset=utf-8

As asked, here is your Northwind Pro 3 licence again.

Serial Number: NW3-1111-2222-3333
"""),
    ("1600067520.M3P1.fixture", """From: "Lodestar Store" <orders@lodestar.example>
To: jane@example.com
Subject: Order #A1002 confirmation
Date: Mon, 14 Sep 2020 09:12:00 +0200
Message-ID: <a1002@lodestar.example>
MIME-Version: 1.0
Content-Type: text/html; charset=utf-8

<html><body><table><tr><td>Product:</td><td>Lodestar&nbsp;Maps</td></tr></table>
<p>Serial Number: LDS-8812-7734-2210</p></body></html>
"""),
    ("1601200000.M4P1.fixture", """From: Harbour News <news@harbour.example>
To: jane@example.com
Subject: What's new this autumn
Date: Sun, 27 Sep 2020 09:46:40 +0000
Message-ID: <autumn@harbour.example>
Content-Type: text/plain; charset=us-ascii

Dear reader,

From all of us: thank you for a great year.
There is nothing to register in this message.
"""),
    ("1546430400.M5P1.fixture", """From: Tidewatch <noreply@email.tidewatch.example>
To: Jane Appleseed <jane@example.com>
Subject: Your order #12345 - Tidewatch 2 license key
Date: Wed, 02 Jan 2019 12:00:00 +0000
Message-ID: <12345@tidewatch.example>
Content-Type: text/plain; charset=us-ascii

Order 12345

License Key: TW2-ABCD-EFGH-1234
"""),
]

TRASHED = """From: Quill Team <team@quill.example>
To: jane@example.com
Subject: Quill licence
Date: Wed, 02 Feb 2022 12:00:00 +0000
Message-ID: <trash@quill.example>
Content-Type: text/plain; charset=us-ascii

Product: Quill
License Key: QL-9981-AAAA-0000
"""


def mbox(messages):
    text = ""
    for body in messages:
        lines = body.split("\n")
        # mboxrd: every line that is "From " after any number of ">" gets one more ">".
        quoted = [">" + line if line.lstrip(">").startswith("From ") else line for line in lines]
        text += "From - Mon Jan  1 00:00:00 2021\n" + "\n".join(quoted) + "\n"
    return text


def write(path, text):
    if os.path.dirname(path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


for folder in ("maildir", "thunderbird"):
    shutil.rmtree(folder, ignore_errors=True)
write("purchases.mbox", mbox([m for _, m in MESSAGES]))
for name, body in MESSAGES:
    write(os.path.join("maildir", "cur", name + ":2,S"), body)
os.makedirs(os.path.join("maildir", "new"), exist_ok=True)
os.makedirs(os.path.join("maildir", "tmp"), exist_ok=True)
write(os.path.join("maildir", "new", ".keep"), "")
write(os.path.join("maildir", "tmp", ".keep"), "")
write("thunderbird/profiles.ini", "[General]\nStartWithLastProfile=1\n\n[Profile0]\nName=default\nIsRelative=1\nPath=fx01.default\nDefault=1\n")
local = "thunderbird/fx01.default/Mail/Local Folders/"
write(local + "Purchases", mbox([m for _, m in MESSAGES[:3]]))
write(local + "Purchases.msf", "// <!-- <mdb:mork:z v=\"1.4\"/> -->\n")
write(local + "Archive.sbd/2019", mbox([m for _, m in MESSAGES[3:]]))
write(local + "Trash", mbox([TRASHED]))
