#!/usr/bin/env python3
"""Writes office documents that try to reach outside their run: each links pictures, a style
sheet or an object at a web address (the tests' counting listener) and names a local picture
outside the run folder by file:// address. Usage: make_hostile.py FOLDER BASE_URL PICTURE
BASE_URL is http://127.0.0.1:PORT, PICTURE an absolute path to a PNG.

Written: linked.odt, linked.docx, linked.xlsx, html.doc (an HTML page under a word-processor
name, which LibreOffice opens as HTML) and doc-source.docx, the source of the binary .doc the
test makes with LibreOffice in a sandbox without network (its links are kept as links)."""
import os
import sys
import zipfile

ODF_NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
          'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
          'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
          'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
          'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" '
          'xmlns:xlink="http://www.w3.org/1999/xlink" office:version="1.2"')


def odf_image(name, href, y):
    return (f'<draw:frame draw:name="{name}" text:anchor-type="paragraph" svg:x="1cm" '
            f'svg:y="{y}cm" svg:width="4cm" svg:height="4cm"><draw:image xlink:href="{href}" '
            'xlink:type="simple" xlink:show="embed" xlink:actuate="onLoad"/></draw:frame>')


def odf_text_body(base, picture):
    return ('<office:text><text:p>HOSTILEMARKER'
            + odf_image('remote', base + '/odf-image.png', 1)
            + odf_image('local', 'file://' + picture, 6)
            + '</text:p>'
            '<text:section text:name="remote-section"><text:section-source '
            f'xlink:href="{base}/odf-section.odt" xlink:type="simple"/></text:section>'
            '<text:p><draw:frame draw:name="obj" text:anchor-type="paragraph" '
            'svg:width="4cm" svg:height="4cm"><draw:object '
            f'xlink:href="{base}/odf-object" xlink:type="simple" xlink:show="embed" '
            'xlink:actuate="onLoad"/></draw:frame></text:p></office:text>')


def write_odt(path, base, picture):
    content = ('<?xml version="1.0" encoding="UTF-8"?>\n'
               f'<office:document-content {ODF_NS}><office:body>'
               + odf_text_body(base, picture) + '</office:body></office:document-content>\n')
    manifest = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:'
                'manifest:1.0" manifest:version="1.2"><manifest:file-entry '
                'manifest:full-path="/" manifest:media-type="application/vnd.oasis.'
                'opendocument.text"/><manifest:file-entry manifest:full-path="content.xml" '
                'manifest:media-type="text/xml"/></manifest:manifest>\n')
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr(zipfile.ZipInfo('mimetype'), 'application/vnd.oasis.opendocument.text',
                   compress_type=zipfile.ZIP_STORED)
        z.writestr('content.xml', content)
        z.writestr('META-INF/manifest.xml', manifest)


REL = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
IMAGE_REL = REL + '/image'


def ooxml_picture(rid, pid, name):
    return (
        '<pic:pic xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture">'
        f'<pic:nvPicPr><pic:cNvPr id="{pid}" name="{name}"/><pic:cNvPicPr/></pic:nvPicPr>'
        f'<pic:blipFill><a:blip r:link="{rid}"/><a:stretch><a:fillRect/></a:stretch>'
        '</pic:blipFill><pic:spPr><a:xfrm><a:off x="0" y="0"/><a:ext cx="1440000" '
        'cy="1440000"/></a:xfrm><a:prstGeom prst="rect"><a:avLst/></a:prstGeom></pic:spPr>'
        '</pic:pic>')


def docx_drawing(rid, pid, name):
    return (
        '<w:r><w:drawing><wp:inline><wp:extent cx="1440000" cy="1440000"/>'
        f'<wp:docPr id="{pid}" name="{name}"/><a:graphic><a:graphicData '
        'uri="http://schemas.openxmlformats.org/drawingml/2006/picture">'
        + ooxml_picture(rid, pid, name) + '</a:graphicData></a:graphic></wp:inline>'
        '</w:drawing></w:r>')


def write_docx(path, base, picture):
    ns = ('xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" '
          'xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" '
          'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
          f'xmlns:r="{REL}"')
    include = (f'<w:p><w:fldSimple w:instr=" INCLUDEPICTURE &quot;{base}/docx-field.png&quot; '
               '\\d "><w:r><w:t>field</w:t></w:r></w:fldSimple></w:p>'
               f'<w:p><w:fldSimple w:instr=" INCLUDETEXT &quot;{base}/docx-text.docx&quot; ">'
               '<w:r><w:t>text</w:t></w:r></w:fldSimple></w:p>')
    document = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:document {ns}>'
                '<w:body><w:p><w:r><w:t>HOSTILEMARKER</w:t></w:r></w:p>'
                '<w:p>' + docx_drawing('rIdRemote', 1, 'remote') + '</w:p>'
                '<w:p>' + docx_drawing('rIdLocal', 2, 'local') + '</w:p>' + include
                + '</w:body></w:document>')
    rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/'
            f'relationships"><Relationship Id="rIdRemote" Type="{IMAGE_REL}" '
            f'Target="{base}/docx-image.png" TargetMode="External"/>'
            f'<Relationship Id="rIdLocal" Type="{IMAGE_REL}" Target="file://{picture}" '
            'TargetMode="External"/></Relationships>')
    write_ooxml(path, 'word/document.xml', 'application/vnd.openxmlformats-officedocument.'
                'wordprocessingml.document.main+xml', document,
                {'word/_rels/document.xml.rels': rels})


def write_xlsx(path, base, picture):
    sheet = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
             '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
             f'xmlns:r="{REL}"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>'
             'HOSTILEMARKER</t></is></c></row></sheetData><drawing r:id="rIdDrawing"/>'
             '</worksheet>')
    anchor = ('<xdr:twoCellAnchor><xdr:from><xdr:col>1</xdr:col><xdr:colOff>0</xdr:colOff>'
              '<xdr:row>{row}</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:to>'
              '<xdr:col>5</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>{end}</xdr:row>'
              '<xdr:rowOff>0</xdr:rowOff></xdr:to>{pic}<xdr:clientData/></xdr:twoCellAnchor>')
    pic = lambda rid, pid, name: ooxml_picture(rid, pid, name).replace('pic:', 'xdr:').replace(
        ' xmlns:xdr="http://schemas.openxmlformats.org/drawingml/2006/picture"', '')
    drawing = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
               '<xdr:wsDr xmlns:xdr="http://schemas.openxmlformats.org/drawingml/2006/'
               'spreadsheetDrawing" xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/'
               f'main" xmlns:r="{REL}">'
               + anchor.format(row=2, end=12, pic=pic('rIdRemote', 2, 'remote'))
               + anchor.format(row=14, end=24, pic=pic('rIdLocal', 3, 'local'))
               + '</xdr:wsDr>')
    drawing_rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/'
                    f'relationships"><Relationship Id="rIdRemote" Type="{IMAGE_REL}" '
                    f'Target="{base}/xlsx-image.png" TargetMode="External"/>'
                    f'<Relationship Id="rIdLocal" Type="{IMAGE_REL}" Target="file://{picture}" '
                    'TargetMode="External"/></Relationships>')
    sheet_rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                  '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/'
                  'relationships"><Relationship Id="rIdDrawing" Type="' + REL + '/drawing" '
                  'Target="../drawings/drawing1.xml"/></Relationships>')
    workbook = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                f'xmlns:r="{REL}"><sheets><sheet name="Sheet1" sheetId="1" r:id="rIdSheet"/>'
                '</sheets></workbook>')
    workbook_rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                     '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/'
                     'relationships"><Relationship Id="rIdSheet" Type="' + REL + '/worksheet" '
                     'Target="worksheets/sheet1.xml"/></Relationships>')
    write_ooxml(path, 'xl/workbook.xml', 'application/vnd.openxmlformats-officedocument.'
                'spreadsheetml.sheet.main+xml', workbook, {
                    'xl/_rels/workbook.xml.rels': workbook_rels,
                    'xl/worksheets/sheet1.xml': sheet,
                    'xl/worksheets/_rels/sheet1.xml.rels': sheet_rels,
                    'xl/drawings/drawing1.xml': drawing,
                    'xl/drawings/_rels/drawing1.xml.rels': drawing_rels,
                }, {
                    '/xl/worksheets/sheet1.xml': 'application/vnd.openxmlformats-'
                    'officedocument.spreadsheetml.worksheet+xml',
                    '/xl/drawings/drawing1.xml': 'application/vnd.openxmlformats-'
                    'officedocument.drawing+xml',
                })


def write_ooxml(path, main, main_type, main_xml, parts, overrides=None):
    types = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
             '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
             '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.'
             'relationships+xml"/><Default Extension="xml" ContentType="application/xml"/>'
             f'<Override PartName="/{main}" ContentType="{main_type}"/>'
             + ''.join(f'<Override PartName="{p}" ContentType="{t}"/>'
                       for p, t in (overrides or {}).items()) + '</Types>')
    root_rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                 '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/'
                 'relationships"><Relationship Id="rId1" Type="' + REL + '/officeDocument" '
                 f'Target="{main}"/></Relationships>')
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml', types)
        z.writestr('_rels/.rels', root_rels)
        z.writestr(main, main_xml)
        for name, text in parts.items():
            z.writestr(name, text)


def write_html(path, base, picture):
    with open(path, 'w') as f:
        f.write('<!DOCTYPE html>\n<html><head><meta charset="utf-8">'
                f'<link rel="stylesheet" href="{base}/html-style.css">'
                f'<style>@import url("{base}/html-import.css"); body {{ background: '
                f'url("{base}/html-background.png"); }}</style></head><body>'
                '<p>HOSTILEMARKER</p>'
                f'<p><img src="{base}/html-image.png" width="100" height="100"></p>'
                f'<p><img src="file://{picture}" width="100" height="100"></p>'
                f'<iframe src="{base}/html-frame.html"></iframe>'
                f'<object data="{base}/html-object.png" type="image/png"></object>'
                f'<embed src="{base}/html-embed.png" type="image/png">'
                '</body></html>\n')


def main(folder, base, picture):
    os.makedirs(folder, exist_ok=True)
    write_odt(os.path.join(folder, 'linked.odt'), base, picture)
    # The binary .doc is made from this one: its addresses carry /doc, so that a test can tell
    # its requests from those of the .docx.
    write_docx(os.path.join(folder, 'doc-source.docx'), base + '/doc', picture)
    write_docx(os.path.join(folder, 'linked.docx'), base, picture)
    write_xlsx(os.path.join(folder, 'linked.xlsx'), base, picture)
    write_html(os.path.join(folder, 'html.doc'), base, picture)


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2], sys.argv[3])
