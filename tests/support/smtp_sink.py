#!/usr/bin/python3
"""A private SMTP server for tests: every message it accepts becomes one folder
msg-NNNNNN/ holding raw.eml, mailfrom, rcptto (one address a line), and the decoded
subject, body and X-Vellora-Kind header. Folders appear complete (renamed into place)."""
import argparse
import asyncio
import email
import email.policy
import os
import ssl
import warnings

from aiosmtpd.smtp import SMTP, AuthResult


class Sink:
    def __init__(self, folder, reject_domain):
        self.folder = folder
        self.reject_domain = reject_domain
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.reject_domain and address.lower().endswith('@' + self.reject_domain):
            return '550 5.1.1 mailbox unavailable here'
        envelope.rcpt_tos.append(address)
        return '250 OK'

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        name = 'msg-%06d' % self.count
        tmp = os.path.join(self.folder, '.' + name)
        os.mkdir(tmp)
        raw = envelope.original_content or envelope.content
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        body = msg.get_body(preferencelist=('plain',))
        parts = {
            'raw.eml': raw,
            'mailfrom': envelope.mail_from.encode(),
            'rcptto': '\n'.join(envelope.rcpt_tos).encode(),
            'subject': str(msg.get('subject', '')).encode(),
            'kind': str(msg.get('x-vellora-kind', '')).encode(),
            'body': body.get_content().encode() if body is not None else b'',
        }
        for file, data in parts.items():
            with open(os.path.join(tmp, file), 'wb') as f:
                f.write(data)
        os.rename(tmp, os.path.join(self.folder, name))
        return '250 Message accepted'


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--port', type=int, required=True)
    p.add_argument('--dir', required=True)
    p.add_argument('--reject-domain', default='')
    p.add_argument('--user', default='')
    p.add_argument('--password', default='')
    p.add_argument('--tls-cert', default='')
    p.add_argument('--tls-key', default='')
    a = p.parse_args()

    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (auth_data.login.decode() == a.user and auth_data.password.decode() == a.password)
        return AuthResult(success=ok, handled=False)

    sink = Sink(a.dir, a.reject_domain.lower())

    def factory():
        kw = dict(enable_SMTPUTF8=True, decode_data=False, hostname='localhost')
        if a.tls_cert:
            context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
            context.load_cert_chain(a.tls_cert, a.tls_key)
            kw.update(tls_context=context, require_starttls=True)
        if a.user:
            warnings.simplefilter('ignore')
            kw.update(authenticator=authenticate, auth_required=True, auth_require_tls=False)
        return SMTP(sink, **kw)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(factory, host='127.0.0.1', port=a.port))
    try:
        loop.run_forever()
    finally:
        server.close()


if __name__ == '__main__':
    main()
