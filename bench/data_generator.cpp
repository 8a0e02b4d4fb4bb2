#include "bench/data_generator.h"

#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <string_view>

namespace pw::bench {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A small deterministic generator, so every run of the benchmark writes the same bytes.
class Random {
  public:
    explicit Random(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return m_state;
    }
    uint64_t below(uint64_t n) { return next() % n; }

  private:
    uint64_t m_state;
};

constexpr std::array<std::string_view, 8> kKinds = {"chair", "stool", "table",   "bench",
                                                    "shelf", "desk",  "cabinet", "bed"};
constexpr std::array<std::string_view, 6> kWoods = {"oak",   "walnut", "ash",
                                                    "beech", "cherry", "elm"};
constexpr std::array<std::string_view, 6> kFinishes = {"natural oil", "matt lacquer", "hard wax",
                                                       "grey stain",  "white soap",   "smoked oil"};
constexpr std::array<std::string_view, 8> kPhrases = {
    "Mortise and tenon joints, no metal fittings.",
    "Every piece is sanded by hand between two coats of finish.",
    "The grain is matched across the visible faces.",
    "Corners are softened so that nothing catches a sleeve.",
    "Made to last for generations and easy to repair.",
    "Delivered assembled, wrapped in recycled blankets.",
    "The timber comes from forests managed within 200 km of the workshop.",
    "Small differences of colour make each piece unique.",
};

std::string number(uint64_t value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llu", width, static_cast<unsigned long long>(value));
    return text;
}

// One record; `i` counts from 1.
std::string record(uint64_t i, uint64_t edition) {
    Random random(i);
    std::string_view kind = kKinds[random.below(kKinds.size())];
    std::string_view wood = kWoods[random.below(kWoods.size())];
    std::string_view finish = kFinishes[random.below(kFinishes.size())];
    std::string name = std::string(kind) + " " + number(i, 1);
    std::string town = "Town-" + number(i % 100, 3);
    // Every fifth record belongs to a set of five records that share their link value.
    std::string link = i % 5 == 0 ? "Set " + number(i / 25, 6) : "Single " + number(i, 7);

    std::string line;
    line.reserve(700);
    auto column = [&line](std::string_view text) {
        if (!line.empty()) {
            line += ';';
        }
        line += text;
    };
    column("item-" + number(i, 7));
    column("The " + name + " in solid " + std::string(wood) + ", " + std::string(finish) +
           (edition != 0 ? " (edition " + number(edition, 1) + ")" : std::string()));
    column(link);
    column(name);
    column(town);
    column("€" + number(80 + random.below(900), 1));
    column("<img src=\"sample" + number(random.below(7), 1) + ".jpg\" alt=\"" + name +
           "\" width=\"320\" height=\"240\">");
    std::string description = "A <strong>" + std::string(wood) + "</strong> " + std::string(kind) +
                              " finished with " + std::string(finish) + ".";
    for (int k = 0; k < 3; ++k) {
        description += ' ';
        description += kPhrases[random.below(kPhrases.size())];
    }
    column(description);
    column("<a href=\"index_" + town + ".htm\">More from " + town + "</a>");
    column("Solid " + std::string(wood) + ", " + std::string(finish));
    column("W " + number(30 + random.below(150), 1) + " × D " + number(30 + random.below(60), 1) +
           " × H " + number(40 + random.below(160), 1) + " cm");
    column(random.below(4) == 0 ? "<span class=\"wait\">Made to order, 3 weeks</span>"
                                : "<span class=\"ok\">In stock</span>");
    return line;
}

// The head shared by the page models: a title line, the generator line and a style sheet.
constexpr std::string_view kHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="GENERATOR" content="Hand written">
<title>Workshop catalogue</title>
<link rel="icon" href="favicon.ico">
<meta name="description" content="Solid wood furniture made by hand in a small workshop: chairs, tables, benches, shelves and beds in oak, walnut, ash and beech, finished with natural oils.">
<meta name="keywords" content="furniture, solid wood, oak, walnut, ash, beech, handmade, workshop, chairs, tables">
<meta property="og:type" content="product">
<meta property="og:site_name" content="Workshop catalogue">
<meta property="og:description" content="Solid wood furniture made by hand, delivered assembled anywhere in the country.">
<meta name="robots" content="index, follow">
<style>
:root { --ink: #2d2a26; --soft: #6f675d; --line: #e6ddd0;
  --paper: #f7f3ec; --card: #fffdf9; --accent: #9c5b2e; }
* { box-sizing: border-box; }
body { margin: 0; background: var(--paper); color: var(--ink);
  font: 16px/1.6 system-ui, sans-serif; }
a { color: var(--accent); }
.site { background: #2f3b36; color: #f3ede4; }
.site div, main, footer div { max-width: 1040px; margin: 0 auto; padding: 0 24px; }
.site div { display: flex; align-items: baseline; gap: 16px; }
.site div { padding-top: 18px; padding-bottom: 18px; flex-wrap: wrap; }
.brand { font: 600 22px/1.2 Georgia, serif; letter-spacing: .02em; }
.motto { color: #c9c0b2; font-size: 14px; }
.site nav a { color: #f3ede4; margin-right: 14px; text-decoration: none; }
.site nav a:hover { text-decoration: underline; }
.crumbs { margin: 22px 0 14px; color: var(--soft); font-size: 14px; }
.crumbs span { color: var(--accent); font-weight: 600; }
.card { display: grid; gap: 32px; background: var(--card); }
.card { grid-template-columns: minmax(0, 1fr) minmax(0, 1fr); }
.card { border: 1px solid var(--line); border-radius: 14px; padding: 28px; }
.card { box-shadow: 0 10px 30px rgba(60, 40, 20, .08); }
.photo img { display: block; width: 100%; height: auto; border-radius: 10px; }
.ref { margin-top: 10px; color: var(--soft); font-size: 13px; }
h1 { margin: 0 0 6px; font: 600 30px/1.25 Georgia, serif; }
.buy { display: flex; align-items: center; gap: 14px; flex-wrap: wrap; }
.buy { margin: 10px 0 16px; }
.price { font-size: 28px; font-weight: 700; white-space: nowrap; }
.buy span span { display: inline-block; padding: 3px 12px; border-radius: 999px; }
.buy span span { font-size: 13px; font-weight: 600; }
.ok { background: #e3f1e4; color: #2e6b35; }
.wait { background: #fbf0d9; color: #8a5a10; }
.desc { color: #46413a; }
.specs { width: 100%; border-collapse: collapse; margin: 18px 0; font-size: 15px; }
.specs th, .specs td { text-align: left; padding: 8px 0; }
.specs th, .specs td { border-top: 1px solid var(--line); }
.specs th { width: 38%; color: var(--soft); font-weight: 500; }
.more a { font-weight: 600; text-decoration: none; }
.related { margin: 28px 0; padding: 22px 28px; background: var(--card); }
.related { border: 1px solid var(--line); border-radius: 14px; }
.related h2 { margin: 0 0 12px; font: 600 19px/1.3 Georgia, serif; }
.related a { display: inline-block; margin: 0 8px 8px 0; padding: 6px 14px; }
.related a { border: 1px solid var(--line); border-radius: 999px; }
.related a { background: var(--paper); color: var(--ink); text-decoration: none; }
.related a:hover { border-color: var(--accent); color: var(--accent); }
footer { border-top: 1px solid var(--line); color: var(--soft); font-size: 13px; }
footer div { padding-top: 18px; padding-bottom: 28px; }
footer ul { list-style: none; margin: 0; padding: 0; display: flex; gap: 18px; }
@media (max-width: 760px) { .card { grid-template-columns: 1fr; padding: 18px; } }
@media print { .site, footer, .related { display: none; } }
</style>
</head>
)";

constexpr std::string_view kBody = R"(<body>
<header class="site">
<div>
<span class="brand">Workshop catalogue</span>
<span class="motto">Solid wood furniture, made by hand</span>
<nav>
<a href="index.htm">Home</a>
<a href="about.htm">About us</a>
<a href="contact.htm">Contact</a>
</nav>
</div>
</header>
<main>
<p class="crumbs">Catalogue &rsaquo;
<!--tag4-->
<span>Town</span>
<!--/tag4-->
</p>
<article class="card">
<div class="photo">
<!--tag6-->
<img src="sample0.jpg" alt="" width="320" height="240">
<!--/tag6-->
<p class="ref">Reference
<!--tag2-->
reference
<!--/tag2-->
</p>
</div>
<div class="text">
<h1>
<!--tag3-->
Name of the piece
<!--/tag3-->
</h1>
<div class="buy">
<span class="price">
<!--tag5-->
0
<!--/tag5-->
</span>
<span>
<!--tag11-->
<span class="ok">In stock</span>
<!--/tag11-->
</span>
</div>
<div class="desc">
<!--tag7-->
Description of the piece.
<!--/tag7-->
</div>
<table class="specs">
<tr><th>Material</th><td>
<!--tag9-->
Material
<!--/tag9-->
</td></tr>
<tr><th>Dimensions</th><td>
<!--tag10-->
Dimensions
<!--/tag10-->
</td></tr>
<tr><th>Delivery</th><td>Two to four weeks, anywhere in the country, assembled and placed in the room of your choice</td></tr>
<tr><th>Care</th><td>Dust with a dry cloth; once a year, a thin coat of the oil we send with every piece keeps the wood from drying out</td></tr>
</table>
<p class="more">
<!--tag8-->
<a href="index.htm">More</a>
<!--/tag8-->
</p>
</div>
</article>
)";

constexpr std::string_view kLinkBlock = R"(<section class="related">
<h2>In the same set</h2>
<!--tag99-->
<!--/tag99-->
</section>
)";

constexpr std::string_view kFoot = R"(</main>
<footer>
<div>
<ul>
<li><a href="terms.htm">Terms of sale</a></li>
<li><a href="care.htm">Caring for solid wood</a></li>
<li><a href="contact.htm">Visit the workshop</a></li>
</ul>
<p>Prices include taxes and delivery to the door. Pieces made to order are not refunded once work has begun, but every piece may be returned within thirty days of delivery when it has not been made to order. Our workshop is open to visitors on Saturdays from ten to five; please call ahead if you would like to see a piece in a particular wood or finish before ordering it.</p>
</div>
</footer>
</body>
</html>
)";

constexpr std::string_view kSmall = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="GENERATOR" content="Hand written">
<title>Short record</title>
</head>
<body>
<h1>
<!--tag1-->
Title
<!--/tag1-->
</h1>
<p>A page made from a short record.</p>
</body>
</html>
)";

constexpr std::string_view kYearbook = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="GENERATOR" content="Hand written">
<title>Catalogue</title>
<style>
body { font: 15px/1.5 system-ui, sans-serif; background: url(Backgrd.gif); }
table { border-collapse: collapse; width: 100%; }
td { border-top: 1px solid #ddd; padding: 6px 8px; vertical-align: top; }
</style>
</head>
<body>
<h1>Every piece of the catalogue</h1>
<table>
<!--tag100-->
<tr>
<td>
<!--tag0-->
reference
<!--/tag0-->
</td>
<td>
<!--tag3-->
name
<!--/tag3-->
</td>
<td>
<!--tag4-->
town
<!--/tag4-->
</td>
<td>
<!--tag5-->
price
<!--/tag5-->
</td>
<td>
<!--tag11-->
stock
<!--/tag11-->
</td>
</tr>
<!--/tag100-->
</table>
</body>
</html>
)";

}  // namespace

std::string pageFileName(uint64_t i) {
    return "item-" + number(i, 7) + ".htm";
}

namespace {

// Writes records 1 to `records` to `path`, one line each, as `lineOf` makes them.
bool writeRecords(const std::string& path, uint64_t records,
                  const std::function<std::string(uint64_t)>& lineOf) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    for (uint64_t i = 1; i <= records; ++i) {
        std::string line = lineOf(i);
        line += '\n';
        if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size()) {
            return false;
        }
    }
    return std::fflush(file.get()) == 0;
}

}  // namespace

bool writeDataFile(const std::string& path, uint64_t records, uint64_t edition) {
    return writeRecords(path, records, [edition](uint64_t i) { return record(i, edition); });
}

bool writeShortDataFile(const std::string& path, uint64_t records) {
    return writeRecords(path, records, [](uint64_t i) {
        std::string line = "s";
        line += number(i, 7);
        line += ";Short record ";
        line += number(i, 1);
        return line;
    });
}

bool writeModel(const std::string& path, ModelKind kind) {
    std::string text;
    if (kind == ModelKind::Yearbook) {
        text = kYearbook;
    } else if (kind == ModelKind::Small) {
        text = kSmall;
    } else {
        text = kHead;
        text += kBody;
        if (kind == ModelKind::LinkPages) {
            text += kLinkBlock;
        }
        text += kFoot;
        if (kind == ModelKind::LongLine) {
            std::string line = "\n<p>";
            line.append((100u << 20) - 7, 'L');
            line += "</p>";
            text.insert(text.find("<body>") + 6, line);
        }
    }
    File file(std::fopen(path.c_str(), "wb"));
    return file && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
           std::fflush(file.get()) == 0;
}

}  // namespace pw::bench
