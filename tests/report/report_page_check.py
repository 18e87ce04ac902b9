#!/usr/bin/env python3
"""Checks of the HTML report as a browser shows it (scripts/test-report.sh).

  report_page_check.py structure PAGE [--texts TEXT...]
      the page parsed as markup: one of each id, every link's target there,
      nothing fetched or run, every drawing well-formed XML and labelled for
      screen readers, every table header with its scope, the
      fixture's hostile names (or the TEXTs given) present as text and never
      as elements.
  report_page_check.py svgs PAGE DIR
      writes each <svg> of the page to DIR/N.svg, for xmllint.
  report_page_check.py probe PAGE OUT
      OUT: the page with a script that writes each drawing's place on the
      page into its data-box attribute, and the milliseconds from the start
      until the page is parsed and laid out into the body's data-layout-ms,
      and the page's height into data-page-height, for Chromium's --dump-dom.
  report_page_check.py picture DOM PNG POINTS [--held]
      the screenshot PNG of the page, at the layout that DOM (the probed page
      as dumped) records: the margin line's colour where each margin point of
      POINTS projects, the finding colour at each point with a finding and
      at the frame's edge where each point beyond the frame is held, the
      first point's ring, the mesh over a fair share of its frame, and
      nothing of the drawing outside its frame. --held: at least one point
      is held at a frame's edge.
"""
import html.parser
import json
import re
import struct
import sys
import xml.etree.ElementTree
import zlib

BLUE = (0x00, 0x72, 0xB2)
VERMILLION = (0xD5, 0x5E, 0x00)
# The share of its frame that a mesh covers at the least (an onlay seen
# from above is a thin strip); and in a view with a margin point far off,
# held at its edge: framed on the mesh (and the points near it), a crown
# keeps its size, where framed on the spike it would be a dot.
MESH_SHARE = 0.05
MESH_SHARE_BESIDE_FAR_POINT = 0.2
# How far inside its frame a point beyond it is drawn (product_views.cpp).
EDGE_INSET = 7
SHADES = [(0x8D, 0x92, 0x97), (0xA7, 0xAC, 0xB1), (0xBF, 0xC3, 0xC7), (0xD3, 0xD6, 0xD9),
          (0xE4, 0xE6, 0xE8)]
ALLOWED_ELEMENTS = {
    "html", "head", "meta", "title", "style", "body", "header", "h1", "h2", "h3", "p", "nav",
    "table", "caption", "thead", "tbody", "tr", "th", "td", "a", "main", "section", "strong",
    "span", "code", "figure", "figcaption", "div", "ul", "li", "svg", "rect", "path", "circle",
    "g", "text",
}
HOSTILE_TEXTS = ['"<script>alert(1)</script>".stl', 'Bridge "<b>x</b>"',
                 "a&amp;b\u240aline2\ufffd\ufffd.pts"]

failures = []


def fail(message):
    failures.append(message)


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.elements = []  # (tag, attributes)
        self.text = []
        self.stack = []

    def handle_starttag(self, tag, attrs):
        self.elements.append((tag, dict(attrs)))
        if tag not in ("meta", "rect", "path", "circle"):
            self.stack.append(tag)

    def handle_startendtag(self, tag, attrs):
        self.elements.append((tag, dict(attrs)))

    def handle_endtag(self, tag):
        if self.stack and self.stack[-1] == tag:
            self.stack.pop()

    def handle_data(self, data):
        self.text.append(data)


def parse(path):
    page = Page()
    with open(path, encoding="utf-8") as source:
        page.feed(source.read())
    page.close()
    return page


def check_structure(path, texts=HOSTILE_TEXTS):
    page = parse(path)
    ids = [attrs["id"] for _, attrs in page.elements if "id" in attrs]
    if len(ids) != len(set(ids)):
        fail("ids used twice: %s" % sorted({i for i in ids if ids.count(i) > 1}))
    for tag, attrs in page.elements:
        if tag not in ALLOWED_ELEMENTS:
            fail("element <%s> in the page" % tag)
        for name, value in attrs.items():
            if name.startswith("on") or name in ("src", "srcset", "action"):
                fail("<%s %s=...>" % (tag, name))
            if name == "href" and not value.startswith("#"):
                fail("link to %r: the page must need nothing from elsewhere" % value)
            if name == "href" and value[1:] not in ids:
                fail("link to %r, which is not on the page" % value)
        if tag == "svg" and "view" in attrs.get("class", ""):
            label = attrs.get("aria-label", "")
            if attrs.get("role") != "img" or not label.startswith("Product "):
                fail("a drawing without role=img and its aria-label")
            if not re.search(r"(along the tooth axis|view from above\))$", label):
                fail("a drawing's aria-label cut short: %r" % label)
    views = sum(1 for tag, a in page.elements if tag == "svg" and "view" in a.get("class", ""))
    titles = sum(1 for tag, _ in page.elements if tag == "title") - 1
    if views == 0 or titles != views:
        fail("%d drawings, %d with a <title>" % (views, titles))
    for tag, attrs in page.elements:
        if tag == "th" and attrs.get("scope") not in ("col", "row"):
            fail("a table header without its scope")
    with open(path, encoding="utf-8") as source:
        for svg in re.findall(r"<svg\b.*?</svg>", source.read(), re.S):
            try:
                xml.etree.ElementTree.fromstring(svg)
            except xml.etree.ElementTree.ParseError as error:
                fail("a drawing is not well-formed XML: %s" % error)
    text = "".join(page.text)
    for hostile in texts:
        if hostile not in text:
            fail("the hostile name %r is not shown as text" % hostile)
    return views


def write_svgs(path, folder):
    with open(path, encoding="utf-8") as source:
        svgs = re.findall(r"<svg\b.*?</svg>", source.read(), re.S)
    for number, svg in enumerate(svgs, 1):
        with open("%s/%d.svg" % (folder, number), "w", encoding="utf-8") as out:
            out.write(svg)
    print(len(svgs))


PROBE = """<script>
for (const svg of document.querySelectorAll('svg.view')) {
  const box = svg.getBoundingClientRect();
  svg.setAttribute('data-box', [box.left + scrollX, box.top + scrollY, box.width, box.height].join(' '));
  svg.setAttribute('data-product', svg.closest('section.product').id);
}
document.body.setAttribute('data-layout-ms', performance.now().toFixed(0));
document.body.setAttribute('data-page-height', document.documentElement.scrollHeight);
</script>"""


def write_probe(path, out):
    with open(path, encoding="utf-8") as source:
        page = source.read()
    with open(out, "w", encoding="utf-8") as target:
        target.write(page.replace("</body>", PROBE + "</body>"))


def read_png(path):
    with open(path, "rb") as source:
        data = source.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("%s is not a PNG" % path)
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    if depth != 8 or colour not in (2, 6) or interlace:
        raise SystemExit("%s: only 8-bit RGB or RGBA without interlace is read" % path)
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows


class Picture:
    def __init__(self, path):
        self.width, self.height, self.channels, self.rows = read_png(path)

    def colour(self, x, y):
        row, at = self.rows[y], x * self.channels
        return row[at], row[at + 1], row[at + 2]

    def near(self, x, y, wanted, radius, tolerance):
        """Whether a pixel within `radius` of (x, y) has about the colour."""
        for dy in range(-radius, radius + 1):
            for dx in range(-radius, radius + 1):
                px, py = int(round(x)) + dx, int(round(y)) + dy
                if 0 <= px < self.width and 0 <= py < self.height:
                    if distance(self.colour(px, py), wanted) <= tolerance:
                        return True
        return False


def distance(a, b):
    return max(abs(a[0] - b[0]), abs(a[1] - b[1]), abs(a[2] - b[2]))


def numbers(text):
    return [float(n) for n in text.split()]


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def check_picture(dom_path, png_path, points_path, want_held=False):
    all_held = 0
    page = parse(dom_path)
    picture = Picture(png_path)
    with open(points_path, encoding="utf-8") as source:
        products = {p["product"]: p for p in json.load(source)}
    views = [a for tag, a in page.elements if tag == "svg" and "view" in a.get("class", "")]
    for view in views:
        name = "%s %s" % (view["data-product"], view["data-view"])
        left, top, width, height = numbers(view["data-box"])
        if left + width > picture.width or top + height > picture.height:
            fail("%s lies outside the screenshot" % name)
            continue
        vb = numbers(view["viewbox"])
        unit = width / vb[2]
        right, up = numbers(view["data-right"]), numbers(view["data-up"])
        frame_left, frame_top, size = numbers(view["data-frame"])
        scale = float(view["data-scale"])
        centre = numbers(view["data-centre"])

        def in_view_box(point):
            return (frame_left + size / 2 + (dot(point, right) - centre[0]) * scale,
                    frame_top + size / 2 - (dot(point, up) - centre[1]) * scale)

        def place(point):
            x, y = in_view_box(point)
            return left + x * unit, top + y * unit

        def beyond(point):
            x, y = in_view_box(point)
            return not (frame_left <= x <= frame_left + size and frame_top <= y <= frame_top + size)

        def held(point):
            """Where a point beyond the frame is drawn: each coordinate held
            to the frame less its inset."""
            x, y = in_view_box(point)
            x = min(max(x, frame_left + EDGE_INSET), frame_left + size - EDGE_INSET)
            y = min(max(y, frame_top + EDGE_INSET), frame_top + size - EDGE_INSET)
            return left + x * unit, top + y * unit

        product = products.get(view["data-product"])
        if product is None:
            fail("%s: a drawing of a product the cases do not draw" % name)
            continue
        points = [place(p) for p in product["points"]]
        far = {i for i, p in enumerate(product["points"]) if beyond(p)}
        if not points and not product["mesh"]:
            fail("%s: a drawing of a product with neither mesh nor margin line" % name)
        marked = set(product["marked"])
        # Points under the marks drawn over the line show the marks instead.
        covered = points[:1] + [points[i] for i in marked if i not in far]
        covered += [held(product["points"][i]) for i in far]
        seen_points = 0
        for index, (x, y) in enumerate(points):
            if index in far:
                hx, hy = held(product["points"][index])
                if not picture.near(hx, hy, VERMILLION, 3, 40):
                    fail("%s: no finding colour at the frame's edge (%.1f, %.1f), where point %d"
                         " beyond it is drawn" % (name, hx, hy, index + 1))
                continue
            if index in marked:
                if not picture.near(x, y, VERMILLION, 2, 40):
                    fail("%s: no finding colour at point %d (%.1f, %.1f)" % (name, index + 1, x, y))
                continue
            if any((x - cx) ** 2 + (y - cy) ** 2 < 8 ** 2 for cx, cy in covered):
                continue
            seen_points += 1
            if not picture.near(x, y, BLUE, 2, 40):
                fail("%s: no margin line colour at point %d (%.1f, %.1f), %s there"
                     % (name, index + 1, x, y, picture.colour(int(x), int(y))))
        if points and 0 not in far and not picture.near(points[0][0], points[0][1] - 5 * unit,
                                                           (0, 0, 0), 2, 60):
            fail("%s: no ring round the first point" % name)
        fx0, fy0 = left + frame_left * unit, top + frame_top * unit
        fx1, fy1 = fx0 + size * unit, fy0 + size * unit
        mesh_pixels, outside = 0, []
        for py in range(int(top), int(top + height)):
            for px in range(int(left), int(left + width)):
                colour = picture.colour(px, py)
                if fx0 + 2 <= px < fx1 - 2 and fy0 + 2 <= py < fy1 - 2:
                    mesh_pixels += colour in SHADES
                elif not (fx0 - 2 <= px < fx1 + 2 and fy0 - 2 <= py < fy1 + 2):
                    # The line, the marks and the mesh's shades (bluish
                    # greys that text, drawn in neutral grey, never takes).
                    if colour in SHADES or any(distance(colour, c) <= 40
                                               for c in (BLUE, VERMILLION)):
                        outside.append((px, py, colour))
        if outside:
            fail("%s: %d pixels drawn outside its frame, the first at %s"
                 % (name, len(outside), outside[0]))
        # The view is framed on the mesh: a margin point far off (a spike of
        # metres) is held at the frame's edge and leaves the mesh its size.
        share = mesh_pixels / (size * unit) ** 2
        least = MESH_SHARE_BESIDE_FAR_POINT if far else MESH_SHARE
        if product["mesh"] and share < least:
            fail("%s: the mesh covers only %.0f%% of its frame (%d pixels)"
                 % (name, 100 * share, mesh_pixels))
        print("%s: %d margin points in the line's colour, %d held at the frame's edge in the"
              " finding colour, the mesh over %.0f%% of the frame"
              % (name, seen_points, len(far), 100 * share))
        all_held += len(far)
    if not views:
        fail("no drawings on the page")
    if want_held and not all_held:
        fail("no margin point held at a frame's edge, where the cases have one far off")


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "structure" and len(argv) == 3:
        print("%d drawings" % check_structure(argv[2]))
    elif command == "structure" and len(argv) >= 4 and argv[3] == "--texts":
        print("%d drawings" % check_structure(argv[2], argv[4:]))
    elif command == "svgs" and len(argv) == 4:
        write_svgs(argv[2], argv[3])
    elif command == "probe" and len(argv) == 4:
        write_probe(argv[2], argv[3])
    elif command == "picture" and len(argv) in (5, 6) and argv[5:] in ([], ["--held"]):
        check_picture(argv[2], argv[3], argv[4], argv[5:] == ["--held"])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for message in failures:
        print("FAIL: " + message, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
