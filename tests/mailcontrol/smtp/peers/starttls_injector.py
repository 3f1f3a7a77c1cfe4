"""A scripted SMTP server that answers STARTTLS with "220" and, in the same packet, further
reply lines a man in the middle would inject, then runs TLS and a plain well-behaved exchange.
Every command it receives (after TLS: decrypted) is written to LOG, one a line.

usage: starttls_injector.py PORT CERT KEY LOG"""
import socket
import ssl
import sys

INJECTED = b"220 Ready to start TLS\r\n554 5.7.1 injected refusal\r\n250 injected-ok\r\n"


def main():
    port, cert, key, log_path = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    listener = socket.create_server(("127.0.0.1", port))
    print("ready", flush=True)
    log = open(log_path, "w", buffering=1)
    while True:  # connections that close at once only probed the port
        conn, _ = listener.accept()
        reader = conn.makefile("rb")
        try:
            conn.sendall(b"220 injector ESMTP\r\n")
            line = reader.readline()
        except OSError:
            continue
        if line:
            break
    log.write(line.decode().rstrip() + "\n")
    conn.sendall(b"250-injector\r\n250-STARTTLS\r\n250 AUTH PLAIN LOGIN\r\n")
    line = reader.readline()
    log.write(line.decode().rstrip() + "\n")
    conn.sendall(INJECTED)  # one send: one packet on the loopback
    tls = context.wrap_socket(conn, server_side=True)
    reader = tls.makefile("rb")
    while True:
        line = reader.readline()
        if not line:
            break
        command = line.decode().rstrip()
        log.write(command + "\n")
        verb = command.split(" ")[0].upper()
        if verb == "EHLO":
            tls.sendall(b"250-injector\r\n250 AUTH PLAIN LOGIN\r\n")
        elif verb == "AUTH":
            tls.sendall(b"235 2.7.0 accepted\r\n")
        elif verb == "DATA":
            tls.sendall(b"354 go on\r\n")
            while reader.readline() not in (b".\r\n", b""):
                pass
            tls.sendall(b"250 queued\r\n")
        elif verb == "QUIT":
            tls.sendall(b"221 bye\r\n")
            break
        else:
            tls.sendall(b"250 ok\r\n")
    tls.close()


if __name__ == "__main__":
    main()
