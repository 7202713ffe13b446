#!/usr/bin/env python3
"""SIGTERM to exit of the real program (windows on Qt's offscreen platform, SDL's dummy driver) in
the channel of a local ngircd, in four states:
  idle       stopped, after the load announcements
  loading    at the first load announcement
  playing    right after the reply to "!play" (a 10-minute song; its title scrolls)
  listing    0.3 s into "!dir" to 100,000 tagged songs with an empty Library.db
Prints one line per state: "STATE SECONDS QUIT" (QUIT: whether the owner saw the bot's QUIT), and
a second signal's time after the first ("second-signal SECONDS").
  bench/sigterm_exit.py TAVU [TREE]
TREE: a folder of tagged songs to list (default: tavu-stall-tree in the temporary folder, which
tavu_stall_bench makes; without it a tree of 100,000 small tagged files, one in five titled
"Song", is made there as that benchmark makes it).
"""
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time

TAVU = os.path.realpath(sys.argv[1])
TREE = sys.argv[2] if len(sys.argv) > 2 else os.path.join(tempfile.gettempdir(), "tavu-stall-tree")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def id3(title):
    text = b"\x03" + title.encode()
    frame = b"TIT2" + len(text).to_bytes(4, "big") + b"\0\0" + text
    size = len(frame)
    syncsafe = bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F])
    return b"ID3\x04\0\0" + syncsafe + frame


def make_tree(root):
    if os.path.exists(os.path.join(root, ".complete")):
        return
    frame = b"\xff\xfb\x90\x64" + bytes(413)
    for folder in range(1000):
        d = os.path.join(root, "Artist %d" % (folder // 10), "Album %d" % folder)
        os.makedirs(d, exist_ok=True)
        for track in range(100):
            n = folder * 100 + track
            with open(os.path.join(d, "%d - track %d.mp3" % (track, n)), "wb") as f:
                f.write(id3(("Song %d" if n % 5 == 0 else "Tune %d") % n) + frame * 2)
    open(os.path.join(root, ".complete"), "w").close()


class Owner:
    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port))
        self.sock.settimeout(0.05)
        self.buf = b""
        self.said = []
        self.quit = False
        self.send("NICK boss")
        self.send("USER boss 0 * :boss")
        self.send("JOIN #bench")

    def send(self, line):
        self.sock.sendall(line.encode() + b"\r\n")

    def pump(self):
        try:
            data = self.sock.recv(65536)
        except socket.timeout:
            return
        if not data:
            return
        self.buf += data
        while b"\r\n" in self.buf:
            line, self.buf = self.buf.split(b"\r\n", 1)
            text = line.decode("utf-8", "replace")
            if text.startswith("PING"):
                self.send("PONG" + text[4:])
            parts = text.split(" ", 3)
            if len(parts) >= 2 and parts[0].startswith(":tavubot!"):
                if parts[1] == "PRIVMSG" and len(parts) == 4:
                    self.said.append(parts[3])
                elif parts[1] == "QUIT":
                    self.quit = True

    def wait_for(self, condition, seconds=60):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self.pump()
            if condition():
                return True
        return False

    def heard(self, text):
        return any(text in line for line in self.said)


def main():
    tmp = tempfile.mkdtemp()
    port = free_port()
    conf = os.path.join(tmp, "ngircd.conf")
    with open(conf, "w") as f:
        f.write("[Global]\n Name = irc.bench.test\n Info = bench\n AdminInfo1 = bench\n AdminInfo2 = loopback\n"
                " AdminEMail = nobody@localhost\n Listen = 127.0.0.1\n Ports = %d\n PidFile = %s/ngircd.pid\n"
                "[Limits]\n MaxConnectionsIP = 0\n MaxPenaltyTime = 0\n"
                "[Options]\n PAM = no\n Ident = no\n DNS = no\n" % (port, tmp))
    os.chmod(tmp, 0o755)
    os.chmod(conf, 0o644)
    ngircd = subprocess.Popen(["ngircd", "-n", "-f", conf], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for _ in range(100):
            try:
                socket.create_connection(("127.0.0.1", port)).close()
                break
            except OSError:
                time.sleep(0.05)
        make_tree(TREE)
        music = os.path.join(tmp, "music")
        os.makedirs(music)
        subprocess.run(["ffmpeg", "-v", "quiet", "-f", "lavfi", "-i", "sine=frequency=440:duration=600",
                        "-b:a", "32k", os.path.join(music, "A long song with a title that scrolls.mp3")], check=True)
        for state in ("idle", "loading", "playing", "listing", "second-signal"):
            print(state, *run(state, tmp, music, port), flush=True)
    finally:
        ngircd.terminate()
        ngircd.wait()
        subprocess.run(["rm", "-rf", tmp])


def run(state, tmp, music, port):
    home = os.path.join(tmp, "home-" + state)
    os.makedirs(home)
    with open(os.path.join(home, "Tavu.ini"), "w", newline="") as f:
        f.write("[Settings]\r\nHandle=bench\r\nTrig=!\r\nMp3 Directory=%s\r\n[Library]\r\nSubfolders=1\r\n"
                "Titles=tags\r\n[Chat]\r\nNetwork=irc\r\nServer=127.0.0.1\r\nPort=%d\r\nTLS=0\r\nNick=tavubot\r\n"
                "Channel=#bench\r\nOwner=boss!*@127.0.0.1\r\n" % (music, port))
    owner = Owner(port)
    owner.wait_for(lambda: False, 0.3)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", SDL_AUDIODRIVER="dummy")
    tavu = subprocess.Popen([TAVU, "--home", home, "--no-intro"], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        if state == "loading":
            owner.wait_for(lambda: owner.heard("By: Quarn"))
        else:
            owner.wait_for(lambda: owner.heard("Mp3's - ["))
        if state == "playing":
            owner.send("PRIVMSG #bench :!play scrolls")
            owner.wait_for(lambda: owner.heard("Playing"))
        elif state == "listing":
            owner.send("PRIVMSG #bench :!dir " + TREE)
            owner.wait_for(lambda: False, 0.3)
        start = time.monotonic()
        tavu.send_signal(signal.SIGTERM)
        if state == "second-signal":
            owner.wait_for(lambda: sum("By: Quarn" in line for line in owner.said) >= 2, 10)
            start = time.monotonic()
            tavu.send_signal(signal.SIGTERM)
        while tavu.poll() is None and time.monotonic() - start < 60:
            owner.pump()
        seconds = time.monotonic() - start
        owner.wait_for(lambda: owner.quit, 2)
        return "%.2f" % seconds, "yes" if owner.quit else "no"
    finally:
        if tavu.poll() is None:
            tavu.kill()
            tavu.wait()
        owner.sock.close()


if __name__ == "__main__":
    main()
