#!/usr/bin/env python3
# A picture-of-the-day service on 127.0.0.1 for the daily pictures' tests, with pictures made by
# ImageMagick. Usage: daily_server.py FOLDER. Once it answers it writes FOLDER/port (and FOLDER/pid);
# it ends by itself after ten minutes.
#   /hp/<case>               the answer: days, noUhd, gone, cut, text, hang; "bad" is no JSON
#   /th?id=OHR.<name>_UHD.jpg and /th?id=OHR.<name>_1920x1080.jpg   the pictures of the answers
import http.server, json, os, signal, subprocess, sys, time, urllib.parse

folder = sys.argv[1]
signal.alarm(600)


def jpeg(width, height, colour):
    return subprocess.run(["convert", "-size", f"{width}x{height}", f"xc:{colour}", "jpg:-"],
                          capture_output=True, check=True).stdout


# name: (date, title, UHD width); the answer's own size is half as wide.
DAYS = {"Wall": ("20261208", "长城", 40), "Sea": ("20261209", "海边", 50), "Snow": ("20261210", "雪山", 60),
        "NoUhd": ("20261211", "月亮", 70), "Gone": ("20261212", "不见了", 70), "Cut": ("20261213", "截断", 70),
        "Text": ("20261214", "文字", 70), "Hang": ("20261215", "等待", 70)}
CASES = {"days": ["Wall", "Sea", "Snow"], "noUhd": ["NoUhd"], "gone": ["Gone"], "cut": ["Cut"],
         "text": ["Text"], "hang": ["Hang"]}
PICTURES = {}
for name, (_, _, width) in DAYS.items():
    PICTURES[name + "_UHD"] = jpeg(width, 30, "red")
    PICTURES[name + "_1920x1080"] = jpeg(width // 2, 20, "blue")


def answer(case):
    images = [{"startdate": DAYS[n][0], "url": f"/th?id=OHR.{n}_1920x1080.jpg&rf=LaDigue_1920x1080.jpg",
               "urlbase": f"/th?id=OHR.{n}", "title": DAYS[n][1], "copyright": f"{DAYS[n][1]} (© 摄影者)",
               "hsh": "hsh" + n} for n in reversed(CASES[case])]  # the service lists the newest first
    return json.dumps({"images": images}, ensure_ascii=False).encode()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send(self, status, body, kind="application/json", length=None):
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path.startswith("/hp/"):
            case = url.path[4:]
            if case in CASES:
                return self.send(200, answer(case))
            return self.send(200, b"<html>not json</html>", "text/html")
        key = urllib.parse.parse_qs(url.query).get("id", [""])[0].removeprefix("OHR.").removesuffix(".jpg")
        name = key.split("_")[0]
        if url.path != "/th" or key not in PICTURES or name == "Gone" or key == "NoUhd_UHD":
            return self.send(404, b"not found", "text/plain")
        body = PICTURES[key]
        if name == "Cut":
            self.send(200, body[: len(body) // 2], "image/jpeg", len(body))
            self.close_connection = True
        elif name == "Text":
            self.send(200, b"<html><body>no picture</body></html>", "text/html")
        elif name == "Hang":
            self.send(200, body[:100], "image/jpeg", len(body) + 100000)
            time.sleep(300)
        else:
            self.send(200, body, "image/jpeg")


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
with open(os.path.join(folder, "pid"), "w") as f:
    f.write(str(os.getpid()))
with open(os.path.join(folder, "port.tmp"), "w") as f:
    f.write(str(server.server_address[1]))
os.replace(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
server.serve_forever()
