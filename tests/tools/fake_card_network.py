#!/usr/bin/python3
"""A stand-in card terminal, card gateway and settlement server for trying
the network card back-ends by hand.

usage: fake_card_network.py WORK_FOLDER

Serves on 127.0.0.1:
  the card terminal over HTTP: /cgi.html?TerminalTransaction=<request>...
      approves every amount but one ending in .13 (declined), echoing the
      request's invoice and register; /index.html is the terminal's page
  the card gateway over HTTPS (a certificate made in WORK_FOLDER with
      subjectAltName IP:127.0.0.1): POST /gateway/transact.dll approves every
      x_amount but one ending in .13
  the settlement server on the gateway's port: POST /tran starts, GET
      /tran?type=settle_scan.cgi reports progress, then the end
Prints the settings to use, then serves until Ctrl-C.
"""
import http.server
import os
import ssl
import subprocess
import sys
import threading
import urllib.parse

work = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else ".")
os.makedirs(work, exist_ok=True)
cert = os.path.join(work, "fake-gateway-cert.pem")
key = os.path.join(work, "fake-gateway-key.pem")
if not os.path.exists(cert):
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "365",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)


def tag(doc, name):
    a, b = doc.find("<" + name + ">"), doc.find("</" + name + ">")
    return doc[a + len(name) + 2:b] if a >= 0 and b > a else ""


class Terminal(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def reply(self, body):
        data = body.encode("latin-1")
        self.send_response(200)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/index.html":
            return self.reply("<HTML><H3>mini_httpd is running</H3></HTML>")
        doc = urllib.parse.parse_qs(url.query).get("TerminalTransaction", [""])[0]
        head = "<response><InvNum>%s</InvNum><RegisterId>%s</RegisterId>" % (tag(doc, "InvNum"), tag(doc, "RegisterId"))
        if tag(doc, "Amount").endswith(".13"):
            return self.reply(head + "<ResultCode>1</ResultCode><Message>DECLINED</Message>"
                              "<RespMSG>Do Not Honor</RespMSG></response>")
        self.reply(head + "<ResultCode>0</ResultCode><AuthCode>DEMO01</AuthCode>"
                   "<ExtData>CardType=VISA,AcntLast4=1111,Name=DEMO CARD</ExtData></response>")


class Gateway(Terminal):
    polls = 0

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0"))).decode("latin-1")
        if self.path.startswith("/tran"):
            Gateway.polls = 0
            return self.reply("Settlement processing")
        fields = urllib.parse.parse_qs(body)
        if fields.get("x_amount", [""])[0].endswith(".13"):
            return self.reply("<responsecode>2</responsecode><errortext>This transaction has been declined."
                              "</errortext><errorcode>2</errorcode>")
        self.reply("<responsecode>1</responsecode><authcode>GW0001</authcode>")

    def do_GET(self):
        if self.path.startswith("/tran"):
            Gateway.polls += 1
            if Gateway.polls < 3:
                return self.reply("1@#@#%2d    Closing batch" % (Gateway.polls * 40))
            return self.reply("0@#@#       ")
        self.reply("")


terminal = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Terminal)
gateway = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Gateway)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
gateway.socket = context.wrap_socket(gateway.socket, server_side=True)
gport = gateway.server_address[1]
print("card terminal:  setting 136 = 127.0.0.1:%d (settings line \"136 127.0.0.1:%d\")"
      % (terminal.server_address[1], terminal.server_address[1]))
print("card gateway:   Tarvo.ini CardGatewayUrl=https://127.0.0.1:%d/gateway/transact.dll" % gport)
print("                Tarvo.ini CardGatewayCaFile=%s" % cert)
print("settlement:     setting 146 = https://127.0.0.1:%d/" % gport)
print("READY", flush=True)
threading.Thread(target=gateway.serve_forever, daemon=True).start()
try:
    terminal.serve_forever()
except KeyboardInterrupt:
    pass
