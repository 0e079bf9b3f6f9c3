#!/usr/bin/python3
"""The local ranking server: one FTP account whose home holds public_html/rurederadi/netrank.dat
(or the folder --dir names).

Runs on Debian's own Python with python3-pyftpdlib. An empty ranking is created when the file is
missing; an existing one is never touched.
"""
import argparse
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import ThreadedFTPServer

RANK_DIR = os.path.join("public_html", "rurederadi")
PLACES = 50
SONGS = 20


def empty_ranking():
    """The file as the game writes it for empty tables, with the server's own line end."""
    line = "0::0:0:" * PLACES + ";" + ("0::" * PLACES + ";") * SONGS
    return (line + "\n").encode("ascii")


def default_root():
    data = os.environ.get("XDG_DATA_HOME") or os.path.join(os.path.expanduser("~"), ".local", "share")
    return os.path.join(data, "zubakko-rankserver", "home")


def prepare(root, rank_dir=RANK_DIR):
    folder = os.path.join(root, rank_dir)
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "netrank.dat")
    if not os.path.exists(path):
        with open(path, "wb") as f:
            f.write(empty_ranking())
    return root


def make_server(args, handler_class=FTPHandler):
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, prepare(args.root, args.dir), perm="elradfmwMT")
    handler = type("RankHandler", (handler_class,), {})
    handler.authorizer = authorizer
    handler.banner = "zubakko ranking server ready."
    handler.timeout = 120
    # One thread per player: the single-threaded server sometimes loses the moment an active-mode
    # data connection is made when many players connect at once, and that player waits in vain.
    return ThreadedFTPServer((args.host, args.port), handler)


def parse_args(argv=None):
    p = argparse.ArgumentParser(description=__doc__)
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--port", type=int, default=2121, help="0 picks a free port")
    p.add_argument("--root", default=default_root(), help="the account's home folder")
    p.add_argument("--user", default="zubakko")
    p.add_argument("--password", default="donkan21")
    p.add_argument("--dir", default=RANK_DIR, help="the ranking's folder below the home folder")
    p.add_argument("--print-port", action="store_true",
                   help="print the port on one line once listening")
    p.add_argument("--verbose", action="store_true")
    return p.parse_args(argv)


def main():
    args = parse_args()
    logging.basicConfig(level=logging.INFO if args.verbose else logging.ERROR)
    server = make_server(args)
    if args.print_port:
        print(server.address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.close_all()


if __name__ == "__main__":
    sys.exit(main())
