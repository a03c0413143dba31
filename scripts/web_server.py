"""Serves a folder on localhost with the headers that make a page cross-origin isolated, which
threads in WebAssembly need. Usage: web_server.py FOLDER PORT"""
import functools
import http.server
import sys


class IsolatingHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm",
                      ".js": "text/javascript", ".ttf": "font/ttf"}

    def end_headers(self):
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()


folder, port = sys.argv[1], int(sys.argv[2])
handler = functools.partial(IsolatingHandler, directory=folder)
with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
    server.serve_forever()
