#!/usr/bin/env python3
"""A small OAuth2 authorization server for the tests, on 127.0.0.1 only.

  /authorize   answers as a provider would once the user agreed: a redirect to the loopback
               redirect_uri with a code and the state given (PKCE S256 challenge required)
  /token       authorization_code (with the PKCE verifier checked) and refresh_token grants;
               refresh tokens rotate and can be revoked
  /introspect  what Dovecot's oauth2 passdb asks: active and username for a live access token
  /control     switches for the tests (GET with query values, see Control below)
  /stats       what the server was asked so far, as JSON
"""

import argparse
import base64
import hashlib
import json
import secrets
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

LOCK = threading.Lock()
STATE = {
    "client_id": "vellora-test-client",
    "client_secret": "",       # checked when not empty
    "user": "anna",            # who signs in when the request names nobody (login_hint)
    "access_ttl": 3600,
    "rotate": True,
    "fail_next": 0,            # token requests to fail
    "fail_mode": "500",        # 500, garbage, hang
    "codes": {},               # code -> dict(challenge, redirect_uri, user, client_id)
    "access": {},              # access token -> dict(user, expires)
    "refresh": {},             # refresh token -> user (live ones only)
    "revoked_users": set(),
    "requests": [],            # (path, form) of every token request
    "introspections": 0,
}


def b64url_sha256(text):
    digest = hashlib.sha256(text.encode("ascii")).digest()
    return base64.urlsafe_b64encode(digest).rstrip(b"=").decode("ascii")


def is_loopback_redirect(uri):
    parts = urllib.parse.urlsplit(uri)
    return parts.scheme == "http" and parts.hostname in ("127.0.0.1", "localhost") and parts.port


def issue_tokens(user):
    access = "at-" + secrets.token_urlsafe(24)
    STATE["access"][access] = {"user": user, "expires": time.time() + STATE["access_ttl"]}
    answer = {"access_token": access, "token_type": "Bearer",
              "expires_in": STATE["access_ttl"], "scope": "mail"}
    return answer


def new_refresh(user):
    token = "rt-" + secrets.token_urlsafe(32)
    STATE["refresh"][token] = user
    return token


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def reply(self, status, body, content_type="application/json", headers=None):
        data = body.encode("utf-8") if isinstance(body, str) else body
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        for key, value in (headers or {}).items():
            self.send_header(key, value)
        self.end_headers()
        self.wfile.write(data)

    def error(self, status, code, description):
        self.reply(status, json.dumps({"error": code, "error_description": description}))

    def form(self):
        length = int(self.headers.get("Content-Length") or 0)
        raw = self.rfile.read(length).decode("utf-8") if length else ""
        return {k: v[0] for k, v in urllib.parse.parse_qs(raw, keep_blank_values=True).items()}

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = {k: v[0] for k, v in urllib.parse.parse_qs(url.query, keep_blank_values=True).items()}
        if url.path == "/authorize":
            self.authorize(query)
        elif url.path == "/control":
            self.control(query)
        elif url.path == "/stats":
            with LOCK:
                grants = [r[1].get("grant_type", "") for r in STATE["requests"]]
                last = STATE["requests"][-1][1] if STATE["requests"] else {}
                body = {"token_requests": len(grants),
                        "refreshes": grants.count("refresh_token"),
                        "code_grants": grants.count("authorization_code"),
                        "introspections": STATE["introspections"],
                        "live_refresh_tokens": len(STATE["refresh"]),
                        "last": last}
            self.reply(200, json.dumps(body))
        else:
            self.reply(404, "{}")

    def do_POST(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/token":
            self.token(self.form())
        elif url.path == "/introspect":
            self.introspect(self.form())
        else:
            self.reply(404, "{}")

    def authorize(self, q):
        redirect = q.get("redirect_uri", "")
        if not is_loopback_redirect(redirect):
            self.reply(400, "redirect_uri must be a loopback address", "text/plain")
            return
        with LOCK:
            if q.get("client_id") != STATE["client_id"] or q.get("response_type") != "code" or \
                    q.get("code_challenge_method") != "S256" or not q.get("code_challenge"):
                target = redirect + "?" + urllib.parse.urlencode(
                    {"error": "invalid_request", "state": q.get("state", "")})
            else:
                code = "code-" + secrets.token_urlsafe(16)
                STATE["codes"][code] = {"challenge": q["code_challenge"], "redirect_uri": redirect,
                                        "user": q.get("login_hint") or STATE["user"],
                                        "client_id": q["client_id"], "scope": q.get("scope", "")}
                target = redirect + "?" + urllib.parse.urlencode(
                    {"code": code, "state": q.get("state", "")})
        self.reply(302, "", "text/plain", {"Location": target})

    def control(self, q):
        with LOCK:
            for key in ("client_id", "client_secret", "user", "fail_mode"):
                if key in q:
                    STATE[key] = q[key]
            if "access_ttl" in q:
                STATE["access_ttl"] = int(q["access_ttl"])
            if "rotate" in q:
                STATE["rotate"] = q["rotate"] == "1"
            if "fail_next" in q:
                STATE["fail_next"] = int(q["fail_next"])
            if "expire_access" in q:
                for entry in STATE["access"].values():
                    entry["expires"] = 0
            if "issue" in q:
                # Tokens as if the user had signed in, for tests that need no browser.
                answer = issue_tokens(q["issue"])
                answer["refresh_token"] = new_refresh(q["issue"])
                self.reply(200, json.dumps(answer))
                return
            if "revoke" in q:
                user = q["revoke"]
                STATE["refresh"] = {t: u for t, u in STATE["refresh"].items() if u != user}
                for entry in STATE["access"].values():
                    if entry["user"] == user:
                        entry["expires"] = 0
        self.reply(200, "{}")

    def token(self, f):
        with LOCK:
            STATE["requests"].append(("/token", f))
            if STATE["fail_next"] > 0:
                STATE["fail_next"] -= 1
                mode = STATE["fail_mode"]
            else:
                mode = ""
        if mode == "500":
            self.reply(500, "<html><body>Internal Server Error</body></html>", "text/html")
            return
        if mode == "garbage":
            self.reply(200, "{\"access_token\": \"at-\x00\x01 unterminated", "application/json")
            return
        if mode == "hang":
            time.sleep(30)
            return
        with LOCK:
            if f.get("client_id") != STATE["client_id"] or \
                    (STATE["client_secret"] and f.get("client_secret") != STATE["client_secret"]):
                self.error(401, "invalid_client", "unknown client")
                return
            grant = f.get("grant_type")
            if grant == "authorization_code":
                entry = STATE["codes"].pop(f.get("code", ""), None)
                if entry is None:
                    self.error(400, "invalid_grant", "unknown or used code")
                    return
                if f.get("redirect_uri") != entry["redirect_uri"]:
                    self.error(400, "invalid_grant", "redirect_uri differs")
                    return
                verifier = f.get("code_verifier", "")
                if not verifier or b64url_sha256(verifier) != entry["challenge"]:
                    self.error(400, "invalid_grant", "PKCE verification failed")
                    return
                answer = issue_tokens(entry["user"])
                answer["refresh_token"] = new_refresh(entry["user"])
            elif grant == "refresh_token":
                old = f.get("refresh_token", "")
                user = STATE["refresh"].get(old)
                if user is None:
                    self.error(400, "invalid_grant", "refresh token expired or revoked")
                    return
                answer = issue_tokens(user)
                if STATE["rotate"]:
                    del STATE["refresh"][old]
                    answer["refresh_token"] = new_refresh(user)
            else:
                self.error(400, "unsupported_grant_type", grant or "none")
                return
        self.reply(200, json.dumps(answer))

    def introspect(self, f):
        with LOCK:
            STATE["introspections"] += 1
            entry = STATE["access"].get(f.get("token", ""))
            live = entry is not None and entry["expires"] > time.time()
            body = {"active": "true", "username": entry["user"]} if live else {"active": "false"}
        self.reply(200, json.dumps(body))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--client-id")
    parser.add_argument("--client-secret")
    args = parser.parse_args()
    if args.client_id:
        STATE["client_id"] = args.client_id
    if args.client_secret:
        STATE["client_secret"] = args.client_secret
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.serve_forever()


if __name__ == "__main__":
    main()
