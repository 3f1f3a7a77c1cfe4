"""An SMTP server for the mail control's tests: aiosmtpd on 127.0.0.1, storing each message's
exact bytes (msg-N.eml) and its envelope (msg-N.env: sender, then one recipient a line).
Recipients of the form refused@... are refused with 550.

usage: smtp_sink.py PORT OUTDIR [USER PASSWORD]
With USER and PASSWORD the server offers AUTH LOGIN without TLS and accepts only that pair.
Runs until terminated."""
import signal
import sys
import threading
from pathlib import Path

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Store:
    def __init__(self, outdir):
        self.outdir = Path(outdir)
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        # A recipient whose local part is "refused" is turned away, as a server refuses an
        # unknown mailbox.
        if address.lower().startswith("refused@"):
            return "550 5.1.1 Mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = self.outdir / f"msg-{self.count}"
        base.with_suffix(".eml").write_bytes(envelope.original_content)
        lines = [envelope.mail_from] + list(envelope.rcpt_tos)
        base.with_suffix(".env").write_text("\n".join(lines) + "\n")
        return "250 Message accepted for delivery"


def main():
    port = int(sys.argv[1])
    outdir = sys.argv[2]
    kwargs = {}
    if len(sys.argv) >= 5:
        user, password = sys.argv[3].encode(), sys.argv[4].encode()

        def check(server, session, envelope, mechanism, auth_data):
            ok = isinstance(auth_data, LoginPassword) and \
                auth_data.login == user and auth_data.password == password
            return AuthResult(success=ok, handled=False)

        kwargs = dict(authenticator=check, auth_require_tls=False, auth_required=True)
    controller = Controller(Store(outdir), hostname="127.0.0.1", port=port,
                            data_size_limit=0, **kwargs)
    controller.start()
    print("ready", flush=True)
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    stop.wait()
    controller.stop()


if __name__ == "__main__":
    main()
