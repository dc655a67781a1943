#!/usr/bin/python3
"""A small CalDAV server for the publishing tests whose faults the tests choose.

    fake_caldav.py PORT          serves http://127.0.0.1:PORT/ until killed

Discovery: / names the principal /user/, whose calendar home is /home/; MKCALENDAR makes calendars there.
Events are kept in memory with If-Match / If-None-Match honoured. The user "tester" with the password
"secret" may do anything; another password gets 401; no Authorization header is taken as anonymous.

    POST /_fault  JSON {"kind": ..., "count": N, ...}   adds a fault for the next N matching requests
    POST /_heal                                        drops every fault
    GET  /_log                                         the requests so far: [method, path, authorized]
    POST /_retag                                       gives every event a new ETag, content unchanged

A fault with "method" or "depth" only takes requests with that method or Depth header.
Fault kinds: "partial" (a listing leaves out every other event), "plain" (the calendar listed as a plain
folder), "status" (answers "status" with
"headers" to "method"), "reset" (a PUT is stored, then the connection closes unanswered), "trickle" (one
byte a second), "huge" ("size" bytes of listing), "badxml", "redirect" (307 to "location"), "slow" ("delay"
seconds before each answer), "home" (the principal's calendar home is "location").
"""
import base64
import hashlib
import http.server
import json
import socketserver
import sys
import threading
import time

LOCK = threading.Lock()
CALENDARS = {}  # path -> {href: body}
FAULTS = []
LOG = []
GENERATION = [0]


def etag(body):
    return '"%s-%d"' % (hashlib.sha1(body).hexdigest()[:16], GENERATION[0])


def take_fault(method, depth=None):
    with LOCK:
        for fault in FAULTS:
            if fault.get("method", method) != method or fault["count"] == 0:
                continue
            if fault.get("depth", depth) != depth:
                continue
            fault["count"] -= 1
            return fault
    return None


def response_xml(href, props):
    return ("<d:response><d:href>%s</d:href><d:propstat><d:prop>%s</d:prop>"
            "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>" % (href, props))


def multistatus(parts):
    return ('<?xml version="1.0" encoding="utf-8"?><d:multistatus xmlns:d="DAV:" '
            'xmlns:c="urn:ietf:params:xml:ns:caldav">%s</d:multistatus>' % "".join(parts)).encode()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def handle_one_request(self):
        try:
            super().handle_one_request()
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def dispatch(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        method, path = self.command, self.path.split("?")[0]
        if path.startswith("/_"):
            return self.control(method, path, body)
        auth = self.headers.get("Authorization")
        with LOCK:
            LOG.append([method, path, bool(auth)])
        if auth and base64.b64decode(auth.split()[-1]) != b"tester:secret":
            return self.answer(401, b"", [("WWW-Authenticate", 'Basic realm="fake"')])
        fault = take_fault(method, self.headers.get("Depth"))
        if fault and fault["kind"] == "slow":
            time.sleep(fault["delay"])
            fault = None
        if fault and fault["kind"] == "status":
            return self.answer(fault["status"], b"refused", fault.get("headers", []))
        if fault and fault["kind"] == "redirect":
            return self.answer(307, b"", [("Location", fault["location"])])
        if fault and fault["kind"] == "trickle":
            self.send_response(207)
            self.send_header("Content-Length", "1000000")
            self.end_headers()
            for _ in range(1000):
                self.wfile.write(b" ")
                self.wfile.flush()
                time.sleep(1)
            return
        if fault and fault["kind"] == "huge":
            self.send_response(207)
            self.send_header("Content-Length", str(fault["size"]))
            self.end_headers()
            chunk = b" " * 65536
            for _ in range(fault["size"] // len(chunk)):
                self.wfile.write(chunk)
            return
        if fault and fault["kind"] == "badxml":
            return self.answer(207, b'<?xml version="1.0"?><d:multistatus xmlns:d="DAV:"><d:response>')
        getattr(self, "do_" + method.lower() + "_", self.unknown)(path, body, fault)

    def control(self, method, path, body):
        with LOCK:
            if path == "/_fault":
                FAULTS.append(json.loads(body))
            elif path == "/_heal":
                FAULTS.clear()
            elif path == "/_retag":
                GENERATION[0] += 1
            elif path == "/_log":
                return self.answer(200, json.dumps(LOG).encode())
        self.answer(200)

    def unknown(self, path, body, fault):
        self.answer(405)

    def do_propfind_(self, path, body, fault):
        if path == "/" or path == "/.well-known/caldav":
            return self.answer(207, multistatus([response_xml(
                path, "<d:resourcetype><d:collection/></d:resourcetype>"
                "<d:current-user-principal><d:href>/user/</d:href></d:current-user-principal>")]))
        if path == "/user/":
            home = fault["location"] if fault and fault["kind"] == "home" else "/home/"
            return self.answer(207, multistatus([response_xml(
                path, "<c:calendar-home-set><d:href>%s</d:href></c:calendar-home-set>" % home)]))
        if path == "/home/":
            parts = [response_xml(path, "<d:resourcetype><d:collection/></d:resourcetype>")]
            for name in sorted(CALENDARS):
                parts.append(response_xml(name, "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>"))
            return self.answer(207, multistatus(parts))
        if path not in CALENDARS:
            return self.answer(404)
        kind = "" if fault and fault["kind"] == "plain" else "<c:calendar/>"
        parts = [response_xml(path, "<d:resourcetype><d:collection/>%s</d:resourcetype>" % kind)]
        if self.headers.get("Depth") == "1":
            with LOCK:
                items = sorted(CALENDARS[path].items())
            if fault and fault["kind"] == "partial":
                items = items[1::2]
            for href, event in items:
                parts.append(response_xml(href, "<d:getetag>%s</d:getetag><d:resourcetype/>" % etag(event)))
        self.answer(207, multistatus(parts))

    def do_mkcalendar_(self, path, body, fault):
        with LOCK:
            CALENDARS.setdefault(path if path.endswith("/") else path + "/", {})
        self.answer(201)

    def event(self, path):
        folder = path[:path.rfind("/") + 1]
        return CALENDARS.get(folder), path

    def do_get_(self, path, body, fault):
        with LOCK:
            events, href = self.event(path)
            stored = events.get(href) if events is not None else None
        if stored is None:
            return self.answer(404)
        self.answer(200, stored, [("ETag", etag(stored)), ("Content-Type", "text/calendar")])

    def do_put_(self, path, body, fault):
        with LOCK:
            events, href = self.event(path)
            if events is None:
                return self.answer(409)
            current = events.get(href)
            if self.headers.get("If-None-Match") == "*" and current is not None:
                return self.answer(412)
            match = self.headers.get("If-Match")
            if match and (current is None or etag(current) != match):
                return self.answer(412)
            events[href] = body
        if fault and fault["kind"] == "reset":
            self.close_connection = True
            self.connection.close()
            return
        self.answer(201 if current is None else 204, b"", [("ETag", etag(body))])

    def do_delete_(self, path, body, fault):
        with LOCK:
            events, href = self.event(path)
            current = events.get(href) if events is not None else None
            if current is None:
                return self.answer(404)
            match = self.headers.get("If-Match")
            if match and etag(current) != match:
                return self.answer(412)
            del events[href]
        self.answer(204)

    def do_PROPFIND(self):
        self.dispatch()

    do_GET = do_PUT = do_DELETE = do_POST = do_MKCALENDAR = do_PROPFIND


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


if __name__ == "__main__":
    Server(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
