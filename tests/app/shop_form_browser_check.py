#!/usr/bin/env python3
"""The online shop's basket form in a real browser.

For each example project the shop window of the desktop program (shop_form_writer) writes
the basket form with the shop address of the user settings pointing at a small HTTP server
on 127.0.0.1. Headless Chromium opens a copy of that page with one line added that presses
the form's submit button, as the user would; the server records what the browser posts to
/addtobasket/wrap. The posted fields must be the parts list rows that the batch design
(vacuum-cli design) lists for the same project: m_N (part number), ic1_N (order code), q_N
(quantity), xm_N only for a part cut to length, and callerid=vacuum, nothing else. One part
cut to length with characters a page must escape is added to the first project's list.

Skips (exit 77) only when no Chromium is installed.
"""

import argparse
import http.server
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import urllib.parse

SKIP = 77
BROWSER_TIMEOUT_S = 30
# Pressed in the copy of the page, once it has loaded.
SUBMIT_SCRIPT = (
    "<script>window.addEventListener('load', function () {"
    " document.querySelector('form[name=Export] input[type=submit]').click(); });</script>"
)
# The part cut to length added to the first project's list: its order code holds quotes,
# an ampersand, angle brackets and a non-ASCII letter, which must reach the shop as they are.
EXTRA_PART = {"part_no": "55000007", "order_code": 'CUT-"\u00dc"&<7>', "quantity": "3", "length": "750"}


class Basket(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self):
        super().__init__(("127.0.0.1", 0), BasketHandler)
        self.posts = []
        self.other_requests = []
        self.posted = threading.Event()


class BasketHandler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length).decode("ascii")
        if self.path == "/addtobasket/wrap":
            fields = urllib.parse.parse_qsl(body, keep_blank_values=True, strict_parsing=False,
                                            encoding="utf-8", errors="strict")
            self.server.posts.append((self.headers.get("Content-Type", ""), fields))
            self.server.posted.set()
            self.reply(200, b"<html><body>in the basket</body></html>")
        else:
            self.server.other_requests.append(("POST", self.path))
            self.reply(404, b"")

    def do_GET(self):
        # A browser asks for the icon of the page it shows the answer in.
        if self.path != "/favicon.ico":
            self.server.other_requests.append(("GET", self.path))
        self.reply(404, b"")

    def reply(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def run(command, env=None, timeout=60):
    result = subprocess.run(command, env=env, capture_output=True, text=True, timeout=timeout)
    if result.returncode != 0:
        raise SystemExit(f"FAIL: {' '.join(command)} exited {result.returncode}:\n"
                         f"{result.stdout}\n{result.stderr}")
    return result.stdout


def expected_rows(cli, project):
    """The parts list of the batch design: one dict per row, in order."""
    values = {}
    for line in run([cli, "design", project]).splitlines():
        key, _, value = line.partition("\t")
        if key.startswith("parts_list."):
            values[key] = value
    rows = []
    while f"parts_list.{len(rows)}.part_no" in values:
        i = len(rows)
        rows.append({f: values[f"parts_list.{i}.{f}"] for f in ("part_no", "order_code", "quantity", "length")})
    return rows


def expected_fields(rows):
    fields = []
    for n, row in enumerate(rows, start=1):
        fields += [(f"m_{n}", row["part_no"]), (f"ic1_{n}", row["order_code"]), (f"q_{n}", row["quantity"])]
        if row["length"] != "0":
            fields.append((f"xm_{n}", row["length"]))
    fields.append(("callerid", "vacuum"))
    return fields


def submit_in_browser(chromium, page_file, work, basket):
    """Opens a copy of the page that presses its submit button; returns the browser's messages."""
    with open(page_file, encoding="utf-8", newline="") as f:
        page = f.read()
    if page.count("</body>") != 1:
        raise SystemExit(f"FAIL: {page_file} has no single </body>")
    copy = os.path.join(work, "submitting_copy.html")
    with open(copy, "w", encoding="utf-8", newline="") as f:
        f.write(page.replace("</body>", SUBMIT_SCRIPT + "</body>"))
    profile = tempfile.mkdtemp(prefix="chromium-profile-", dir=work)
    command = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
               "--no-first-run", "--no-default-browser-check", "--disable-extensions",
               "--disable-background-networking", "--disable-sync", "--metrics-recording-only",
               f"--user-data-dir={profile}", "--virtual-time-budget=10000", "--dump-dom",
               "file://" + copy]
    # A session of its own, so that a browser that hangs goes with all its helpers.
    browser = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                               start_new_session=True)
    try:
        _, err = browser.communicate(timeout=BROWSER_TIMEOUT_S)
    except subprocess.TimeoutExpired:
        os.killpg(browser.pid, signal.SIGKILL)
        _, err = browser.communicate()
        if not basket.posted.is_set():
            raise SystemExit(f"FAIL: the browser did not post within {BROWSER_TIMEOUT_S} s:\n{err[-3000:]}")
    finally:
        try:
            os.killpg(browser.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    return err


def check_project(args, chromium, project, extra, work):
    name = os.path.splitext(os.path.basename(project))[0]
    rows = expected_rows(args.cli, project)
    if len(rows) < 3:
        raise SystemExit(f"FAIL: {name}: the batch design lists {len(rows)} parts, expected tube, cups and generator")
    if extra:
        rows.append(extra)

    basket = Basket()
    server = threading.Thread(target=basket.serve_forever, daemon=True)
    server.start()
    try:
        port = basket.server_address[1]
        # The user settings of the shop window: the shop is the local server.
        home = os.path.join(work, "home")
        config = os.path.join(home, ".config")
        settings_dir = os.path.join(config, "Orsik", "KELM")
        os.makedirs(settings_dir, exist_ok=True)
        with open(os.path.join(settings_dir, "UserSettings.ini"), "w", encoding="ascii", newline="\r\n") as f:
            # The trailing "/" is the user's; the form must not post to "//addtobasket".
            f.write(f"[KELM]\nShopUrl=http://127.0.0.1:{port}/\n")
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=config, QT_QPA_PLATFORM="offscreen")
        page_file = os.path.join(work, "basket_form.html")
        command = [args.writer, project, page_file]
        if extra:
            command += [extra["part_no"], extra["order_code"], extra["quantity"], extra["length"]]
        run(command, env=env)

        err = submit_in_browser(chromium, page_file, work, basket)
        if not basket.posted.wait(5):
            raise SystemExit(f"FAIL: {name}: nothing was posted to /addtobasket/wrap; browser said:\n{err[-3000:]}")
    finally:
        basket.shutdown()
        basket.server_close()

    if len(basket.posts) != 1:
        raise SystemExit(f"FAIL: {name}: {len(basket.posts)} posts, expected one")
    content_type, posted = basket.posts[0]
    if content_type.split(";")[0].strip() != "application/x-www-form-urlencoded":
        raise SystemExit(f"FAIL: {name}: posted as {content_type!r}")
    if basket.other_requests:
        raise SystemExit(f"FAIL: {name}: other requests reached the server: {basket.other_requests}")
    expected = expected_fields(rows)
    if posted != expected:
        lines = [f"FAIL: {name}: the posted fields differ from the parts list"]
        lines += [f"  expected {e!r:45} posted {p!r}" for e, p in
                  zip(expected + [None] * len(posted), posted + [None] * len(expected)) if e or p]
        raise SystemExit("\n".join(lines))
    print(f"ok: {name}: {len(rows)} parts posted as {len(posted)} fields")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--writer", required=True, help="the shop_form_writer program")
    parser.add_argument("--cli", required=True, help="the vacuum-cli program")
    parser.add_argument("projects", nargs="+", help="example projects (.vac)")
    args = parser.parse_args()

    chromium = find_chromium()
    if not chromium:
        print("SKIP: no Chromium installed (scripts/install-deps.sh installs the chromium package)")
        return SKIP

    for i, project in enumerate(args.projects):
        with tempfile.TemporaryDirectory(prefix="shop-form-") as work:
            check_project(args, chromium, project, EXTRA_PART if i == 0 else None, work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
