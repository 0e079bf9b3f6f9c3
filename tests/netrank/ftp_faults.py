#!/usr/bin/python3
"""Faulty servers for the FTP tests. Each prints its port on its first line.

  stall               accepts connections and never says a word
  cutoff ROOT BYTES   the ranking server, which dies once BYTES bytes of any file went through
  hang ROOT BYTES     the ranking server, which freezes (alive, silent) after sending BYTES bytes
  norename ROOT       the ranking server, refusing to rename over an existing file
  nostore ROOT        the ranking server, refusing every upload
  nostore-once ROOT   the ranking server, refusing the first upload only
  stuckstore ROOT     the ranking server, which never reads the data of an upload to a *.tmp
"""
import os
import socket
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tools", "rankserver"))


def stall():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    s.listen(8)
    print(s.getsockname()[1], flush=True)
    held = []
    while True:
        conn, _ = s.accept()
        held.append(conn)  # keep it open, answer nothing


def serve(root, handler):
    """Serves the ranking folder with this handler; prints the port for the test."""
    import rankserver
    args = rankserver.parse_args(["--port", "0", "--root", root, "--user", "tester",
                                  "--password", "pw4test9"])
    server = rankserver.make_server(args, handler)
    print(server.address[1], flush=True)
    server.serve_forever()


def cutoff(root, limit, hang=False):
    from pyftpdlib.handlers import DTPHandler, FTPHandler

    class DyingDTP(DTPHandler):
        moved = 0

        def send(self, data):
            data = bytes(data)
            room = limit - DyingDTP.moved
            if len(data) >= room:
                sent = super().send(data[:room]) if room > 0 else 0
                DyingDTP.moved += sent
                if DyingDTP.moved >= limit:
                    time.sleep(0.2)
                    if hang:
                        time.sleep(3600)
                    os._exit(0)
                return sent
            sent = super().send(data)
            DyingDTP.moved += sent
            return sent

        def handle_read(self):
            try:
                chunk = self.recv(min(self.ac_in_buffer_size, max(1, limit - DyingDTP.moved)))
            except Exception:
                return super().handle_read()
            DyingDTP.moved += len(chunk)
            if chunk:
                self.file_obj.write(chunk)
                self.file_obj.flush()
            if DyingDTP.moved >= limit:
                os._exit(0)
            if not chunk:
                self.transfer_finished = True

        handle_read_event = handle_read  # the base class binds its own handle_read here

    class Handler(FTPHandler):
        dtp_handler = DyingDTP

    serve(root, Handler)


def norename(root):
    from pyftpdlib.handlers import FTPHandler

    class Handler(FTPHandler):
        def ftp_RNTO(self, path):
            if os.path.exists(path):
                self._rnfr = None
                self.respond("553 Will not replace an existing file.")
                return None
            return super().ftp_RNTO(path)

    serve(root, Handler)


def nostore(root, once=False):
    from pyftpdlib.handlers import FTPHandler

    class Handler(FTPHandler):
        refused = 0

        def ftp_STOR(self, file, mode="w"):
            if once and Handler.refused >= 1:
                return super().ftp_STOR(file, mode)
            Handler.refused += 1
            self.respond("553 Uploads are not accepted here.")

    serve(root, Handler)


def stuckstore(root):
    from pyftpdlib.handlers import DTPHandler, FTPHandler

    class StuckDTP(DTPHandler):
        def enable_receiving(self, type, cmd):
            super().enable_receiving(type, cmd)
            if cmd == "STOR" and self.file_obj.name.endswith(".tmp"):
                self.modify_ioloop_events(0)  # the file stays open and empty

    class Handler(FTPHandler):
        dtp_handler = StuckDTP

    serve(root, Handler)


if __name__ == "__main__":
    if sys.argv[1] == "stall":
        stall()
    elif sys.argv[1] in ("cutoff", "hang"):
        cutoff(sys.argv[2], int(sys.argv[3]), hang=sys.argv[1] == "hang")
    elif sys.argv[1] == "norename":
        norename(sys.argv[2])
    elif sys.argv[1] in ("nostore", "nostore-once"):
        nostore(sys.argv[2], once=sys.argv[1] == "nostore-once")
    elif sys.argv[1] == "stuckstore":
        stuckstore(sys.argv[2])
