#!/usr/bin/env python3
"""A stand-in for the publisher's site, for the tests only. Loopback only.

Start:
    python3 tests/site/test_site.py --port-file PORT_FILE [--reply-file REPLY_FILE]
                                    [--log-file LOG_FILE] [--pages a.exe,b.exe]
                                    [--fail-in-browser a.exe:500,b.exe:reset]
                                    [--page-kind a.exe:attachment,b.exe:storage]

It listens on 127.0.0.1 on a free port, writes that port to PORT_FILE (written
whole, then renamed, so a reader never sees half a number) and prints it on
standard output. Stop it with SIGTERM or SIGINT.

What it serves (GET; the site base is http://127.0.0.1:PORT/):
    process/NAME.html, prozess/NAME.html  200 with a small page when NAME is one
                                          of --pages, else 404; with --page-kind:
                                          attachment (sent as one), attachment-frame
                                          (its frame is one, its script clicks a
                                          download link, then asks for clicked), storage (shows the value its
                                          local storage held and asks for seen/VALUE,
                                          "none" for none, then stores "kept")
    attachment/NAME                       200 with a small page sent as an attachment
    seen/TEXT                             204: a page reports what it found
    redirect/TARGET                       302 to /TARGET (e.g. redirect/process/a.exe.html)
    status/CODE                           that status, with a short body unless 204
    bytes/N                               200 with exactly N bytes of "x"
    large                                 200 with a body of 3 MiB
    slow, slow/N                          waits 30 s (or N s) before it answers
    slow-body                             200 at once, then one byte a second for 30 s
    stalled-header                        the status line of a 200 at once, then one
                                          header byte every 0.2 s for 12 s, then the rest
    drop                                  closes the connection without a reply
    cgi/kestrel.pl?ID                     200 with the bytes of REPLY_FILE, read at
                                          each request (empty when there is no file)
    _log                                  the request log as JSON: [{"path", "agent"}]
    _reply (POST)                         sets the kestrel reply to the request body

It also answers as an HTTP proxy for any host: a request for
http://ANY.HOST/PATH is served as PATH, and logged with the whole address.

Every request except _log and _reply is logged: one line per request in
LOG_FILE, "PATH<TAB>USER-AGENT", and in memory for _log.
"""

import argparse
import json
import os
import socket
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

LONG_WAIT_SECONDS = 30
LARGE_BODY_BYTES = 3 * 1024 * 1024
STALLED_HEADER_SECONDS = 12  # past the program's 8 s bound for a whole exchange


class SiteState:
    def __init__(self, args):
        self.pages = {name for name in args.pages.split(",") if name}
        self.browser_failures = dict(entry.rsplit(":", 1)
                                     for entry in args.fail_in_browser.split(",") if entry)
        self.page_kinds = dict(entry.rsplit(":", 1)
                               for entry in args.page_kind.split(",") if entry)
        self.reply_file = args.reply_file
        self.log_file = args.log_file
        self.reply_override = None
        self.log = []
        self.lock = threading.Lock()

    def record(self, path, agent):
        with self.lock:
            self.log.append({"path": path, "agent": agent})
            if self.log_file:
                with open(self.log_file, "a", encoding="utf-8", errors="replace") as log:
                    log.write(f"{path}\t{agent}\n")

    def kestrel_reply(self):
        with self.lock:
            if self.reply_override is not None:
                return self.reply_override
        if self.reply_file and os.path.exists(self.reply_file):
            with open(self.reply_file, "rb") as reply:
                return reply.read()
        return b""


class SiteHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "TestSite/1"

    def log_message(self, format, *args):  # quiet: the tests read the log instead
        pass

    def send_body(self, status, body, content_type="text/html"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_POST(self):
        if self.path != "/_reply":
            self.send_body(404, b"not here")
            return
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length)
        with self.server.state.lock:
            self.server.state.reply_override = body
        self.send_body(200, b"OK", "text/plain")

    def do_GET(self):
        state = self.server.state
        path = self.path.lstrip("/")
        if path == "_log":
            with state.lock:
                body = json.dumps(state.log).encode()
            self.send_body(200, body, "application/json")
            return
        state.record(self.path, self.headers.get("User-Agent", ""))
        # A request that came through a proxy names the whole address.
        if self.path.startswith("http://"):
            path = urllib.parse.urlsplit(self.path)._replace(scheme="", netloc="").geturl()
            path = path.lstrip("/")
        self.route(path)

    def route(self, path):
        if path.startswith(("process/", "prozess/")):
            name = path.split("/", 1)[1].removesuffix(".html")
            failure = self.server.state.browser_failures.get(name)
            if failure and not self.headers.get("User-Agent", "").startswith("proclens"):
                self.fail_in_browser(failure)
                return
            kind = self.server.state.page_kinds.get(name)
            if kind:
                self.send_page_of_kind(name, kind)
                return
            known = name in self.server.state.pages or failure is not None
            self.send_body(200 if known else 404, f"<html><title>{name}</title></html>".encode())
        elif path.startswith("attachment/"):
            self.send_attachment(path.removeprefix("attachment/"))
        elif path.startswith("seen/"):
            self.send_response(204)
            self.end_headers()
        elif path.startswith("redirect/"):
            self.send_response(302)
            self.send_header("Location", "/" + path.removeprefix("redirect/"))
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif path.startswith("status/"):
            status = int(path.removeprefix("status/"))
            self.send_body(status, b"" if status == 204 else f"status {status}".encode())
        elif path.startswith("bytes/"):
            self.send_body(200, b"x" * int(path.removeprefix("bytes/")), "text/plain")
        elif path == "large":
            self.send_body(200, b"L" * LARGE_BODY_BYTES, "text/plain")
        elif path == "slow" or path.startswith("slow/"):
            time.sleep(int(path.removeprefix("slow/")) if "/" in path else LONG_WAIT_SECONDS)
            self.send_body(200, b"late", "text/plain")
        elif path == "slow-body":
            self.trickle()
        elif path == "stalled-header":
            self.stall_header()
        elif path == "drop":
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
        elif path.startswith("cgi/kestrel.pl"):
            self.send_body(200, self.server.state.kestrel_reply(), "text/plain")
        else:
            self.send_body(404, b"not here")

    def send_attachment(self, name):
        body = f"<html><title>{name}</title>saved?</html>".encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Disposition", f'attachment; filename="{name}"')
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_page_of_kind(self, name, kind):
        if kind == "attachment":
            self.send_attachment(name + ".html")
            return
        if kind == "attachment-frame":
            body = (f'<html><title>{name}</title><body>'
                    f'<iframe src="/attachment/{name}-frame.html"></iframe>'
                    f'<a id="save" href="/bytes/16" download="{name}.bin">save</a>'
                    '<script>document.getElementById("save").click();'
                    'new Image().src = "/clicked";</script></body></html>')
        elif kind == "storage":
            body = (f'<html><title>{name}</title><script>'
                    'var found = localStorage.getItem("proclens-probe") || "none";'
                    'localStorage.setItem("proclens-probe", "kept");'
                    f'document.title = "{name} found " + found;'
                    'new Image().src = "/seen/" + found;'
                    '</script></html>')
        else:
            raise ValueError(f"unknown page kind {kind}")
        self.send_body(200, body.encode())

    def fail_in_browser(self, failure):
        if failure == "reset":
            # SO_LINGER with a zero timeout makes close() send a reset.
            self.close_connection = True
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                       struct.pack("ii", 1, 0))
            self.connection.close()
        else:
            self.send_body(int(failure), b"<html><title>Server trouble</title>down</html>")

    def trickle(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(LONG_WAIT_SECONDS))
        self.end_headers()
        try:
            for _ in range(LONG_WAIT_SECONDS):
                self.wfile.write(b"t")
                self.wfile.flush()
                time.sleep(1)
        except OSError:
            pass  # the client gave up, as it should

    def stall_header(self):
        # Written by hand: the status line must leave before the headers do.
        self.close_connection = True
        try:
            self.wfile.write(b"HTTP/1.1 200 OK\r\nX-Stalled: ")
            for _ in range(STALLED_HEADER_SECONDS * 5):
                time.sleep(0.2)
                self.wfile.write(b"s")
            self.wfile.write(b"\r\nContent-Type: text/plain\r\nContent-Length: 4\r\n\r\nlate")
        except OSError:
            pass  # the client gave up, as it should


def write_port_file(path, port):
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="ascii") as port_file:
        port_file.write(f"{port}\n")
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description="Local stand-in for the publisher's site")
    parser.add_argument("--port-file", help="where to write the port chosen")
    parser.add_argument("--reply-file", help="bytes that cgi/kestrel.pl answers with")
    parser.add_argument("--log-file", help="one line per request: path, tab, User-Agent")
    parser.add_argument("--pages", default="explorer.exe,bash,init",
                        help="comma-separated names that have an online page")
    parser.add_argument("--fail-in-browser", default="",
                        help="NAME:500 or NAME:reset, comma-separated: pages that pass the "
                             "program's status test and fail in the browser pane")
    parser.add_argument("--page-kind", default="",
                        help="NAME:KIND, comma-separated: pages of a kind (attachment, "
                             "attachment-frame, storage), see above")
    args = parser.parse_args()

    server = ThreadingHTTPServer(("127.0.0.1", 0), SiteHandler)
    server.daemon_threads = True
    server.state = SiteState(args)
    port = server.server_address[1]
    if args.port_file:
        write_port_file(args.port_file, port)
    print(port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
