"""Scenarios of the update check: the real program asks a web server that the scenario runs on 127.0.0.1."""
import base64
import contextlib
import http.server
import pathlib
import re
import socket
import struct
import subprocess
import threading
import time
import urllib.parse

from harness import Failure, check, scenario

SETUP = "Tessaly Corvalo Setup"
SELECT = "J2SE Starter Select"
PROGRESS = "Checking for Updates"
CHECK_LINK = 1025
PROGRESS_BAR = 1027
CANCEL = 2
ERROR = "Server connection error. Please check your Internet connection."
UPDATES = "There are some updates for the program."
LATEST = "This is the latest version of the program."
SETTINGS = "HKCU\\Software\\Tessaly\\Corvalo\\setup1"
# Wine looks up URL protocols in HKLM's classes only; Windows would take the user's HKCU key first.
HTTP_HANDLER = "HKLM\\Software\\Classes\\http\\shell\\open\\command"
MAKE_REPLY = pathlib.Path(__file__).resolve().parents[2] / "tools" / "make-update-reply"


def configured_endpoint(wine):
    """The update endpoint this build was configured with; the scenarios only ever talk to this machine."""
    cache = (wine.build / "CMakeCache.txt").read_text()
    found = re.search(r"^TC_UPDATE_URL:\w+=(.*)$", cache, re.M)
    check(found, "TC_UPDATE_URL is not in the build's CMake cache")
    endpoint = urllib.parse.urlsplit(found.group(1))
    if endpoint.scheme != "http" or endpoint.hostname != "127.0.0.1" or not endpoint.port:
        raise Failure(f"this build asks {found.group(1)} for updates; the update scenarios need a build configured "
                      f"with -DTC_UPDATE_URL=http://127.0.0.1:<port>/update/1/ (the windows preset does that)")
    return endpoint


def make_reply(version, address):
    return subprocess.run([str(MAKE_REPLY), version, address], check=True, capture_output=True, timeout=30).stdout


class UpdateServer:
    """Answers every request with the current reply; a held reply waits until the scenario releases it."""

    def __init__(self, endpoint):
        self.endpoint = endpoint
        self.reply = b""
        self.status = 200
        self.requests = []
        self.held = None
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                server.requests.append((self.path, dict(self.headers)))
                if server.held is not None:
                    server.held.wait(60)  # bounded: a scenario that fails still ends
                self.send_response(server.status)
                self.send_header("Content-Length", str(len(server.reply)))
                self.end_headers()
                self.wfile.write(server.reply)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", endpoint.port), Handler)
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def hold(self):
        self.held = threading.Event()

    def release(self):
        if self.held is not None:
            self.held.set()

    def stop(self):
        self.release()
        self.httpd.shutdown()
        self.httpd.server_close()
        self.thread.join(10)


class Browser:
    """The probe stands in for the web browser: it records each address that the shell hands it."""

    def __init__(self, wine, name, handler=HTTP_HANDLER):
        self.wine = wine
        self.handler = handler
        self.log = wine.work / f"{name}-browser.log"
        self.log.unlink(missing_ok=True)
        wine.env["TC_PROBE_LOG"] = wine.windows_path(self.log)
        for variable in ("http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"):
            wine.env.pop(variable, None)
        self.probe = wine.build / "tests" / "e2e" / "probe.exe"
        self.previous = wine.run("reg", "query", handler, "/ve", check_exit=False)
        wine.run("reg", "add", handler, "/ve", "/d", f'"{wine.windows_path(self.probe)}" "%1"', "/f")

    def restore(self):
        found = re.search(r"REG_SZ\s+(.*)$", self.previous, re.M)
        if found:
            self.wine.run("reg", "add", self.handler, "/ve", "/d", found.group(1).strip(), "/f")

    def opened(self):
        if not self.log.exists():
            return []
        return [line for line in self.log.read_text(encoding="utf-8").splitlines() if line]

    def wait_for(self, count, timeout=20):
        deadline = time.monotonic() + timeout
        while len(self.opened()) < count and time.monotonic() < deadline:
            time.sleep(0.1)  # polling a file the browser writes, bounded by the deadline
        return self.opened()


@contextlib.contextmanager
def update_session(wine, name, serve=True):
    """A server at the build's endpoint, the stand-in browser, and the setup dialog open with one starter."""
    endpoint = configured_endpoint(wine)
    server = UpdateServer(endpoint) if serve else None
    browser = Browser(wine, name)
    wine.run("reg", "delete", SETTINGS, "/f", check_exit=False)
    # One starter, so that the setup dialog doesn't point at the Scan buttons first.
    wine.run("reg", "add", SETTINGS + "\\J2SE\\1", "/v", "Name", "/d", "Java", "/f")
    wine.run("reg", "add", SETTINGS + "\\J2SE\\1", "/v", "ExecutableFile", "/d", wine.windows_path(browser.probe), "/f")
    wine.run("reg", "add", SETTINGS + "\\J2SE\\1", "/v", "Arguments", "/d", "-jar %1", "/f")
    try:
        yield server, browser
    finally:
        if server:
            server.stop()
        browser.restore()


def open_setup(wine):
    launch = wine.launch(" /setup")
    wine.wait(SETUP)
    return launch


def close_setup(wine, launch):
    wine.driver("click", SETUP, CANCEL)
    code = launch.exit_code()
    check(code == 0, f"exit code {code} after the setup dialog, expected 0")


def no_window(wine, caption):
    return wine.driver("wait", caption, 0, check_exit=False).strip() == "missing"


def run_check(wine, owner, screen=None):
    """Clicks the owner's update link; the result message box as the user sees it, dismissed afterwards."""
    wine.driver("click", owner, CHECK_LINK)
    # A quick answer closes the progress dialog before anyone can look at it: what stays is the message.
    caption = wine.first("Complete", "Error")
    check(no_window(wine, PROGRESS), "the progress dialog is still open beside the message")
    box = wine.message_box(caption)
    box["caption"] = caption
    if screen:
        wine.screenshot(caption, screen)
    wine.driver("click", caption, 1)
    wine.driver("gone", caption, 10000)
    return box


def expect_box(box, caption, text, icon):
    check(box["caption"] == caption, f"message caption {box['caption']!r}, expected {caption!r}")
    check(box["text"] == text, f"message {box['text']!r}, expected {text!r}")
    check(box["icon"] == icon, f"icon {box['icon']}, expected {icon}")
    check([t for _, t in box["buttons"]] == ["OK"], f"buttons {box['buttons']}")


@scenario
def update_newer_version_opens_the_download_page(wine):
    with update_session(wine, "newer") as (server, browser):
        download = f"http://127.0.0.1:{server.endpoint.port}/download/corvalo-1.2.0.0.html?from=update&x=1"
        server.reply = make_reply("1.2.0.0", download)
        launch = open_setup(wine)
        box = run_check(wine, SETUP, "update-newer")
        expect_box(box, "Complete", UPDATES, "none")
        opened = browser.wait_for(1)
        check(len(opened) == 1 and opened[0].endswith(f'"{download}"'), f"the browser was handed {opened}")
        close_setup(wine, launch)

        check(len(server.requests) == 1, f"{len(server.requests)} requests, expected 1")
        path, headers = server.requests[0]
        expected = server.endpoint.path + "?version=1.1.1.0&source=program"
        check(path == expected, f"request {path!r}, expected {expected!r}")
        headers = {name.lower(): value for name, value in headers.items()}
        check(headers.get("user-agent") == "WebUpdateChecker", f"agent {headers.get('user-agent')!r}")
        check(headers.get("content-type") == "text/plain", f"content type {headers.get('content-type')!r}")
        check("no-cache" in headers.get("pragma", "") + headers.get("cache-control", ""),
              f"no request to bypass caches: {headers}")


@scenario
def update_same_or_older_version_is_the_latest(wine):
    with update_session(wine, "latest") as (server, browser):
        launch = open_setup(wine)
        joined = f"http://127.0.0.1:{server.endpoint.port}/download/joined"
        while (5 + len(joined)) % 3 == 0:
            joined += "/"  # so that the address record's group ends in padding before the version's
        replies = [(make_reply("1.1.1.0", f"http://127.0.0.1:{server.endpoint.port}/download/"), "update-latest"),
                   (raw_reply(0x010100FF, joined, apart=True), None),
                   (raw_reply(0x00090000, ""), None)]  # an address that is never opened may be anything
        for reply, screen in replies:
            server.reply = reply
            expect_box(run_check(wine, SETUP, screen), "Complete", LATEST, "none")
        close_setup(wine, launch)
        check(len(server.requests) == 3, f"{len(server.requests)} requests, expected 3")
        check(browser.opened() == [], f"the browser was handed {browser.opened()}")


@scenario
def update_bad_replies_are_a_connection_error(wine):
    with update_session(wine, "bad") as (server, browser):
        probe = wine.windows_path(browser.probe)
        newer = make_reply("9.0.0.0", f"http://127.0.0.1:{server.endpoint.port}/download/")
        bodies = [
            (200, b"<html>no update service here</html>"),
            (200, newer + b"\r\n"),
            (200, b"*" + newer[1:].replace(b"A", b"-", 1)),
            (404, b"Not Found"),
            (200, b""),
            # Newer versions whose address is no web address: whoever answers must not choose what runs.
            (200, raw_reply(0x09000000, probe)),
            (200, raw_reply(0x09000000, "file:///" + probe.replace("\\", "/"))),
        ]
        launch = open_setup(wine)
        for index, (status, body) in enumerate(bodies):
            server.status, server.reply = status, body
            expect_box(run_check(wine, SETUP, "update-error" if index == 0 else None), "Error", ERROR, "error")
        close_setup(wine, launch)
        check(len(server.requests) == len(bodies), f"{len(server.requests)} requests, expected {len(bodies)}")
        check(browser.opened() == [], f"something was opened: {browser.opened()}")


def raw_reply(version, address, apart=False):
    """A reply that make-update-reply refuses to write (a local address), or writes otherwise: with `apart`, the
    address record and the version record are encoded one by one and joined."""
    records = [struct.pack("<Bi", 3, len(address)) + address.encode("ascii"), struct.pack("<BiI", 1, 4, version)]
    if apart:
        return b"*" + b"".join(base64.b64encode(record) for record in records)
    return b"*" + base64.b64encode(b"".join(records))


@scenario
def update_without_a_server_is_a_connection_error(wine):
    endpoint = configured_endpoint(wine)
    with socket.socket() as free:
        # Connections of earlier scenarios may linger on the port; only a listener makes this bind fail.
        free.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        try:
            free.bind(("127.0.0.1", endpoint.port))
        except OSError as problem:
            raise Failure(f"something listens on 127.0.0.1:{endpoint.port}: {problem}")
    with update_session(wine, "refused", serve=False) as (_, browser):
        launch = open_setup(wine)
        expect_box(run_check(wine, SETUP, "update-refused"), "Error", ERROR, "error")
        close_setup(wine, launch)
        check(browser.opened() == [], f"something was opened: {browser.opened()}")


@scenario
def update_cancel_during_a_slow_request_says_nothing(wine):
    with update_session(wine, "cancel") as (server, browser):
        server.reply = make_reply("2.0.0.0", f"http://127.0.0.1:{server.endpoint.port}/download/")
        server.hold()
        launch = open_setup(wine)
        wine.driver("click", SETUP, CHECK_LINK)
        wine.wait(PROGRESS)
        wait_for_request(server)
        position = wine.driver("progress", PROGRESS, PROGRESS_BAR).strip()
        check(position == "1", f"progress {position} while the request runs, expected 1")
        controls = {ident: (cls, text) for ident, cls, text in wine.controls(PROGRESS)}
        check(controls.get(PROGRESS_BAR, ("",))[0].lower() == "msctls_progress32", f"controls {controls}")
        check(controls.get(CANCEL) == ("Button", "Cancel"), f"controls {controls}")
        wine.screenshot(PROGRESS, "update-progress")

        wine.driver("click", PROGRESS, CANCEL)
        wait_until(lambda: wine.driver("enabled", PROGRESS, CANCEL).strip() == "0", "Cancel stays enabled")
        check(not no_window(wine, PROGRESS), "the dialog closed before the request returned")
        wine.screenshot(PROGRESS, "update-progress-cancelled")
        server.release()
        wine.driver("gone", PROGRESS, 30000)
        wine.driver("settle", SETUP)
        for caption in ("Complete", "Error"):
            check(no_window(wine, caption), f"a {caption!r} message after Cancel")

        # The setup dialog is still there and the next check works.
        server.held = None
        expect_box(run_check(wine, SETUP), "Complete", UPDATES, "none")
        check(len(browser.wait_for(1)) == 1, f"the browser was handed {browser.opened()}")
        close_setup(wine, launch)


@scenario
def update_from_the_selection_dialog(wine):
    with update_session(wine, "select") as (server, browser):
        server.reply = make_reply("1.1.1.0", f"http://127.0.0.1:{server.endpoint.port}/download/")
        jar = pathlib.Path(__file__).resolve().parents[1] / "data" / "jar" / "jdk-stored.jar"
        launch = wine.launch(f' /select "{wine.windows_path(jar)}"')
        wine.wait(SELECT)
        expect_box(run_check(wine, SELECT), "Complete", LATEST, "none")
        wine.driver("click", SELECT, CANCEL)
        code = launch.exit_code()
        check(code == 1, f"exit code {code} after cancelling the selection, expected 1")
        check(len(server.requests) == 1, f"{len(server.requests)} requests, expected 1")


def wait_for_request(server, timeout=20):
    wait_until(lambda: server.requests, "the program sent no request", timeout)


def wait_until(condition, message, timeout=20):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise Failure(message)
        time.sleep(0.05)  # polling a condition, bounded by the deadline
