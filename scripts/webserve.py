#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 with the two headers that let a page use
threads (SharedArrayBuffer): Cross-Origin-Opener-Policy and
Cross-Origin-Embedder-Policy. Nothing else is added to Python's own server.

    python3 scripts/webserve.py FOLDER [PORT]     (port 8000 by default; 0: any free one)

Prints the address once it listens ("Serving http://127.0.0.1:PORT/"), so
that a caller can read the port it was given."""

import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    # WebAssembly is compiled while it downloads only when it comes as such.
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def end_headers(self):
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        # A rebuilt page is taken afresh: no stale code beside new data.
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def log_message(self, format, *args):  # one quiet server: errors only
        pass


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    port = int(sys.argv[2]) if len(sys.argv) == 3 else 8000
    handler = functools.partial(Handler, directory=sys.argv[1])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    print(f"Serving http://127.0.0.1:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
