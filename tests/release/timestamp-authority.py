"""A local RFC 3161 timestamp authority for the signing test: answers each
POSTed timestamp query with `openssl ts -reply`, signed by the given TSA
certificate. Prints the port it listens on, on localhost, then serves until
killed.

usage: timestamp-authority.py CONFIG TSA_CERT TSA_KEY WORKDIR
"""
import http.server
import os
import subprocess
import sys
import tempfile

config, cert, key, work = sys.argv[1:5]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        with tempfile.TemporaryDirectory(dir=work) as folder:
            query_file = os.path.join(folder, "query.tsq")
            reply_file = os.path.join(folder, "reply.tsr")
            with open(query_file, "wb") as out:
                out.write(query)
            made = subprocess.run(
                ["openssl", "ts", "-reply", "-config", config, "-queryfile", query_file,
                 "-signer", cert, "-inkey", key, "-out", reply_file],
                capture_output=True, cwd=work)
            if made.returncode != 0:
                self.send_error(500, made.stderr.decode(errors="replace"))
                return
            with open(reply_file, "rb") as reply:
                body = reply.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
