"""Serves a folder over HTTP on 127.0.0.1 for the engine's tests.

Writes the port it got into port.txt in that folder, and ends on a request
for /quit or after a time limit, so it never outlives its test.
"""
import http.server
import os
import sys
import threading

folder = sys.argv[1]
limit = float(sys.argv[2]) if len(sys.argv) > 2 else 120.0


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=folder, **kwargs)

    def do_GET(self):
        if self.path == "/quit":
            self.send_response(200)
            self.end_headers()
            threading.Thread(target=self.server.shutdown).start()
            return
        super().do_GET()

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
threading.Timer(limit, server.shutdown).start()
with open(os.path.join(folder, "port.tmp"), "w") as f:
    f.write(str(server.server_address[1]))
os.replace(os.path.join(folder, "port.tmp"), os.path.join(folder, "port.txt"))
server.serve_forever()
os._exit(0)
