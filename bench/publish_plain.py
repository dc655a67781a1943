#!/usr/bin/python3
"""The requests of a first publish of N events, sent by a plain script: a baseline for publish_bench.

    publish_plain.py CALENDAR_URL USER PASSWORD [N]

PUTs N one-event resources with If-None-Match: *, four at a time over kept-alive connections, and prints the
time they took.
"""
import base64
import concurrent.futures
import http.client
import sys
import threading
import time
import urllib.parse

url, user, password = sys.argv[1:4]
count = int(sys.argv[4]) if len(sys.argv) > 4 else 1000
parts = urllib.parse.urlsplit(url)
auth = "Basic " + base64.b64encode(("%s:%s" % (user, password)).encode()).decode()
local = threading.local()


def put(i):
    if not hasattr(local, "connection"):
        local.connection = http.client.HTTPConnection(parts.hostname, parts.port)
    body = ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//plain//EN\r\nCALSCALE:GREGORIAN\r\nBEGIN:VEVENT\r\n"
            "UID:plain-%d@bench\r\nDTSTAMP:20240601T120000Z\r\nDTSTART:20240603T090000\r\n"
            "DTEND:20240603T170000\r\nRRULE:FREQ=DAILY;COUNT=5\r\nSUMMARY:Bench: Task %d\r\n"
            "DESCRIPTION:Task %d\r\nLOCATION:Home\r\nCLASS:PRIVATE\r\nX-AMBREL-PROJECT:bench\r\n"
            "END:VEVENT\r\nEND:VCALENDAR\r\n") % (i, i, i)
    local.connection.request("PUT", parts.path.rstrip("/") + "/plain-%d.ics" % i, body.encode(),
                             {"Authorization": auth, "If-None-Match": "*",
                              "Content-Type": "text/calendar; charset=utf-8"})
    response = local.connection.getresponse()
    response.read()
    assert response.status in (201, 204), response.status


start = time.monotonic()
with concurrent.futures.ThreadPoolExecutor(4) as pool:
    list(pool.map(put, range(count)))
print("%d PUTs in %.0f ms" % (count, (time.monotonic() - start) * 1000))
