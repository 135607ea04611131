#!/usr/bin/env python3
"""Writes the office documents the tests print: flat ODF sources (converted to their
binary forms by the test with LibreOffice), a password-protected text document built
the way ODF 1.2 encrypts packages, and the broken inputs."""
import base64
import hashlib
import os
import subprocess
import sys
import zipfile
import zlib

NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
      'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
      'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
      'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
      'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" '
      'xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0" '
      'office:version="1.2"')


def flat(kind, body):
    mime = 'application/vnd.oasis.opendocument.' + kind
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<office:document {NS} office:mimetype="{mime}"><office:body>{body}'
            '</office:body></office:document>\n')


def text_doc(marker):
    return flat('text', f'<office:text><text:p>{marker}</text:p></office:text>')


def sheet_doc(markers):
    tables = ''.join(
        f'<table:table table:name="Sheet{i + 1}"><table:table-row><table:table-cell '
        f'office:value-type="string"><text:p>{m}</text:p></table:table-cell>'
        '</table:table-row></table:table>' for i, m in enumerate(markers))
    return flat('spreadsheet', f'<office:spreadsheet>{tables}</office:spreadsheet>')


def slide_doc(markers):
    pages = ''.join(
        f'<draw:page draw:name="s{i + 1}"><draw:frame svg:x="2cm" svg:y="2cm" '
        f'svg:width="14cm" svg:height="3cm"><draw:text-box><text:p>{m}</text:p>'
        '</draw:text-box></draw:frame></draw:page>' for i, m in enumerate(markers))
    return flat('presentation', f'<office:presentation>{pages}</office:presentation>')


def aes256cbc(key, iv, data):
    # PKCS#7 padding is what the package format's W3C padding accepts.
    out = subprocess.run(['openssl', 'enc', '-aes-256-cbc', '-K', key.hex(), '-iv', iv.hex()],
                         input=data, capture_output=True, check=True)
    return out.stdout


def encrypted_odt(path, password, marker):
    """A text document whose content is encrypted with a password (AES-256, PBKDF2)."""
    content = ('<?xml version="1.0" encoding="UTF-8"?>\n'
               f'<office:document-content {NS}><office:body><office:text>'
               f'<text:p>{marker}</text:p></office:text></office:body>'
               '</office:document-content>\n').encode()
    deflater = zlib.compressobj(9, zlib.DEFLATED, -15)
    compressed = deflater.compress(content) + deflater.flush()
    salt, iv, iterations = os.urandom(16), os.urandom(16), 1000
    start_key = hashlib.sha256(password.encode()).digest()
    key = hashlib.pbkdf2_hmac('sha1', start_key, salt, iterations, 32)
    encrypted = aes256cbc(key, iv, compressed)
    checksum = hashlib.sha256(compressed[:1024]).digest()
    b64 = lambda b: base64.b64encode(b).decode()
    manifest = (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" '
        'manifest:version="1.2">'
        '<manifest:file-entry manifest:full-path="/" manifest:version="1.2" '
        'manifest:media-type="application/vnd.oasis.opendocument.text"/>'
        f'<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml" '
        f'manifest:size="{len(content)}"><manifest:encryption-data '
        'manifest:checksum-type="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0#sha256-1k" '
        f'manifest:checksum="{b64(checksum)}"><manifest:algorithm '
        'manifest:algorithm-name="http://www.w3.org/2001/04/xmlenc#aes256-cbc" '
        f'manifest:initialisation-vector="{b64(iv)}"/><manifest:start-key-generation '
        'manifest:start-key-generation-name="http://www.w3.org/2000/09/xmldsig#sha256" '
        'manifest:key-size="32"/><manifest:key-derivation manifest:key-derivation-name="PBKDF2" '
        f'manifest:key-size="32" manifest:iteration-count="{iterations}" '
        f'manifest:salt="{b64(salt)}"/></manifest:encryption-data></manifest:file-entry>'
        '</manifest:manifest>\n')
    with zipfile.ZipFile(path, 'w') as z:
        z.writestr(zipfile.ZipInfo('mimetype'), 'application/vnd.oasis.opendocument.text',
                   compress_type=zipfile.ZIP_STORED)
        z.writestr(zipfile.ZipInfo('content.xml'), encrypted, compress_type=zipfile.ZIP_STORED)
        z.writestr(zipfile.ZipInfo('META-INF/manifest.xml'), manifest,
                   compress_type=zipfile.ZIP_DEFLATED)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    put = lambda name, text: open(os.path.join(folder, name), 'w').write(text)
    put('word.fodt', text_doc('WORDMARKER'))
    put('sheets.fods', sheet_doc(['SHEETONE', 'SHEETTWO']))
    put('slides.fodp', slide_doc(['SLIDEONE', 'SLIDETWO', 'SLIDETHREE']))
    encrypted_odt(os.path.join(folder, 'locked.odt'), 'secret', 'LOCKEDMARKER')
    put('empty.docx', '')
    put('plain.docx', 'This is plain text wearing an office name.\n')


if __name__ == '__main__':
    main(sys.argv[1])
