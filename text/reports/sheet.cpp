#include "text/reports/sheet.h"

#include <algorithm>
#include <cmath>

#include "engine/nec/frequencies.h"
#include "engine/nec/hanging.h"
#include "engine/sweep/model_sweep.h"
#include "engine/version.h"
#include "text/catalogue.h"
#include "text/format.h"
#include "text/pdf.h"

namespace lorvant::report {

std::string MetresText(double m, char sep) { return FormatPicture(m, "#0.00", sep) + " m"; }

std::string FeetInchesText(double m, char sep) {
  // Tenths of an inch first, so that 11.96 in rounds up into the next foot.
  const long tenths = std::lround(m / 0.0254 * 10);
  return std::to_string(tenths / 120) + " ft " + FormatPicture((tenths % 120) / 10.0, "0.0", sep) + " in";
}

double CentimetresPer100kHz(double length, double frequency) { return length * 0.1 / frequency * 100; }

namespace {

using pdf::Font;

// One row of the band table.
struct BandRow {
  std::string band, swr, resonance, pruning;
};

std::vector<BandRow> BandRows(const NecCheckReport& r) {
  std::vector<BandRow> rows;
  const double length = r.model.length;
  for (const nec::BandCheck& b : r.result.bands) {
    const int band = b.solved.band;
    const std::vector<double> zeros = sweep::ModelResonances(r.result, band);
    BandRow row;
    row.band = NecBandName(band, r.extraFrequency, r.sep);
    row.swr = std::isfinite(b.solved.swr) && b.solved.swr < 100 ? FormatPicture(b.solved.swr, "0.0", r.sep) : ">99";
    // The resonance nearest the band's own frequency stands for the band.
    double basis = b.solved.frequency;
    if (!zeros.empty()) {
      basis = *std::min_element(zeros.begin(), zeros.end(), [&](double a, double c) {
        return std::fabs(a - b.solved.frequency) < std::fabs(c - b.solved.frequency);
      });
      row.resonance = FormatPicture(basis, "#0.000", r.sep) + " MHz";
    } else {
      row.resonance = "-";
    }
    row.pruning = FormatPicture(CentimetresPer100kHz(length, basis), "#0.0", r.sep);
    rows.push_back(row);
  }
  return rows;
}

std::string ShapeText(nec::Shape shape, Language lang) {
  switch (shape) {
    case nec::Shape::Sloper:
      return say(lang, Text::HangShapeSloper);
    case nec::Shape::InvertedV:
      return say(lang, Text::HangShapeInvertedV);
    case nec::Shape::Flat:
      break;
  }
  return say(lang, Text::HangShapeFlat);
}

std::string LegLine(Text name, double leg, double allowance, Language lang, char sep) {
  const double cut = leg + 2 * allowance;
  return std::string(say(lang, name)) + ": " + say(lang, Text::SheetDesigned) + " " + MetresText(leg, sep) + " (" +
         FeetInchesText(leg, sep) + "), " + say(lang, Text::SheetToCut) + " " + MetresText(cut, sep) + " (" +
         FeetInchesText(cut, sep) + ")";
}

// The lines above the band table: the legs, the hanging, the balun.
struct Block {
  std::string heading;
  std::vector<std::string> lines;
};

// The choke from the feed-line analysis, when it was run.
std::string ChokeLine(const NecCheckReport& r) {
  const Language lang = r.language;
  const char sep = r.sep;
  std::string line = say(lang, Text::SheetChoke);
  if (!r.air || !r.air->feedline || !r.air->chokeSearched) return line + say(lang, Text::SheetChokeOpen);
  const std::string limit = FormatGeneral(100 * nec::kCommonModeLimit, sep);
  if (r.air->chokeRecommendation)
    line += say(lang, Text::SheetChokeAtLeast) + FormatGeneral(*r.air->chokeRecommendation, sep) +
            say(lang, Text::SheetChokeKeeps) + limit + say(lang, Text::SheetChokeKeepsAfter);
  else
    line += say(lang, Text::SheetChokeNone) + limit + " %";
  if (r.air->feedline->chokeOhms > 0)
    line += say(lang, Text::SheetChokeModelled) + FormatGeneral(r.air->feedline->chokeOhms, sep) +
            say(lang, Text::SheetChokeOhm);
  return line;
}

std::vector<Block> Blocks(const SheetData& d) {
  const NecCheckReport& r = d.check;
  const Language lang = r.language;
  const char sep = r.sep;
  const nec::Model& m = r.model;
  const nec::Hanging& h = m.hanging;
  std::vector<Block> blocks;

  Block legs{say(lang, Text::SheetLegs), {}};
  legs.lines.push_back(LegLine(Text::SheetLegStart, m.feed, d.allowance, lang, sep));
  legs.lines.push_back(LegLine(Text::SheetLegEnd, m.length - m.feed, d.allowance, lang, sep));
  legs.lines.push_back(say(lang, Text::SheetAllowanceBefore) + FormatGeneral(d.allowance * 100, sep) +
                       say(lang, Text::SheetAllowanceAfter));
  legs.lines.push_back(say(lang, Text::SheetWholeLength) + MetresText(m.length, sep) + " (" +
                       FeetInchesText(m.length, sep) + ")");
  blocks.push_back(legs);

  Block hanging{say(lang, Text::HangPageHanging), {}};
  hanging.lines.push_back(say(lang, Text::SheetShape) + ShapeText(nec::ShapeOf(h), lang));
  hanging.lines.push_back(say(lang, Text::SheetFeedHeight) + MetresText(nec::PointAlong(m.corners, m.feed).z, sep));
  hanging.lines.push_back(say(lang, Text::SheetStartHeight) + MetresText(h.startHeight, sep));
  hanging.lines.push_back(say(lang, Text::SheetEndHeight) + MetresText(h.endHeight, sep));
  if (h.apex)
    hanging.lines.push_back(say(lang, Text::SheetApexHeight) + FormatPicture(h.apex->height, "#0.00", sep) +
                            say(lang, Text::SheetApexAlong) + FormatPicture(nec::BendAt(h, m.feed), "#0.00", sep) +
                            say(lang, Text::SheetFromStart));
  hanging.lines.push_back(say(lang, Text::SheetBalun) + FormatGeneral(r.result.balunRatio, sep) + ":1");
  hanging.lines.push_back(ChokeLine(r));
  blocks.push_back(hanging);
  return blocks;
}

std::string FooterLine(const NecCheckReport& r) {
  return say(r.language, Text::SheetMadeWith) + std::string(kVersionText) + say(r.language, Text::HelpPrintFooterDate) +
         r.dateText;
}

// The standard font's letters average about half its size: a text's
// width in points, near enough to centre it or keep it off the edge.
double TextWidth(const std::string& utf8, double size) {
  std::size_t chars = 0;
  for (const char c : utf8) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return 0.52 * size * static_cast<double>(chars);
}

// The side view below `top`: horizontal distance from the start against
// height, to one scale on both axes, at most `w` wide and `h` high (points),
// with the heights of the supports, the legs' lengths and the span.
void SideView(pdf::Page& page, const NecCheckReport& r, double x, double top, double w, double h) {
  const char sep = r.sep;
  const std::vector<nec::Point>& corners = r.model.corners;
  std::vector<std::pair<double, double>> view;  // (run, height)
  double run = 0;
  for (std::size_t i = 0; i < corners.size(); ++i) {
    if (i > 0) run += std::hypot(corners[i].x - corners[i - 1].x, corners[i].y - corners[i - 1].y);
    view.emplace_back(run, corners[i].z);
  }
  double highest = 0;
  for (const auto& [s, z] : view) highest = std::max(highest, z);
  const double span = std::max(run, 1e-9);
  // Room for the labels above the wire and below the ground, and for the
  // heights beside the outer supports.
  const double scale = std::min((w - 80) / span, (h - 50) / std::max(highest, 1e-9));
  const double x0 = x + 40, y0 = top - 25 - highest * scale;
  const auto px = [&](double s) { return x0 + s * scale; };
  const auto py = [&](double z) { return y0 + std::max(z, 0.0) * scale; };
  const auto label = [&](double cx, double y, double size, const std::string& utf8) {
    const double width = TextWidth(utf8, size);
    page.text(std::clamp(cx - width / 2, x, x + w - width), y, Font::Regular, size, ToCp1252(utf8));
  };
  page.line(x, y0, x + w, y0, 0.75);  // the ground
  for (std::size_t i = 1; i < view.size(); ++i)
    page.line(px(view[i - 1].first), py(view[i - 1].second), px(view[i].first), py(view[i].second), 1.2);
  // The supports at the ends and the apex, dashed, each with its height.
  for (std::size_t i = 0; i < view.size(); ++i) {
    const bool end = i == 0 || i + 1 == view.size();
    if (!end && !r.model.hanging.apex) continue;
    const double sx = px(view[i].first);
    page.line(sx, y0, sx, py(view[i].second), 0.5, 3);
    const std::string height = MetresText(view[i].second, sep);
    const double mid = (y0 + py(view[i].second)) / 2 - 3;
    // The start's to the left of its support, the others' to the right.
    page.text(i == 0 ? sx - 4 - TextWidth(height, 8) : sx + 4, mid, Font::Regular, 8, ToCp1252(height));
  }
  // The feed point: a short tick across the wire and its name; each leg's
  // length below its middle.
  double along = 0, fs = 0, fz = 0;
  for (std::size_t i = 1; i < corners.size(); ++i) {
    const double seg =
        std::hypot(corners[i].x - corners[i - 1].x, corners[i].y - corners[i - 1].y, corners[i].z - corners[i - 1].z);
    if (r.model.feed <= along + seg || i + 1 == corners.size()) {
      const double t = seg > 0 ? std::clamp((r.model.feed - along) / seg, 0.0, 1.0) : 0;
      fs = view[i - 1].first + t * (view[i].first - view[i - 1].first);
      fz = view[i - 1].second + t * (view[i].second - view[i - 1].second);
      break;
    }
    along += seg;
  }
  page.line(px(fs), py(fz) - 5, px(fs), py(fz) + 5, 1.5);
  label(px(fs), py(fz) + 8, 8, say(r.language, Text::SheetFeedMark));
  const auto heightAt = [&](double s) {
    for (std::size_t i = 1; i < view.size(); ++i)
      if (s <= view[i].first || i + 1 == view.size()) {
        const double d = view[i].first - view[i - 1].first;
        const double t = d > 0 ? std::clamp((s - view[i - 1].first) / d, 0.0, 1.0) : 0;
        return view[i - 1].second + t * (view[i].second - view[i - 1].second);
      }
    return view.front().second;
  };
  // A leg's length beside its middle, clear of the wire: below a level
  // leg (the feed point's name is above it), outside a sloping one.
  const double legs[][3] = {{0, fs, r.model.feed}, {fs, run, r.model.length - r.model.feed}};
  for (const auto& [from, to, length] : legs) {
    const double mid = (from + to) / 2;
    const double ux = px(to) - px(from), uy = py(heightAt(to)) - py(heightAt(from));
    const double norm = std::max(std::hypot(ux, uy), 1e-9);
    const double sine = uy / norm, cosine = ux / norm;
    // The normal below the wire, or above it for a slope.
    double nx = sine, ny = -cosine;
    if ((std::fabs(sine) > 0.3) != (ny > 0)) nx = -nx, ny = -ny;
    const std::string text = MetresText(length, sep);
    const double a = TextWidth(text, 8) / 2, b = 3;
    const double d = a * std::fabs(sine) + b * std::fabs(cosine) + 3;
    const double cx = px(mid) + nx * d, cy = py(heightAt(mid)) + ny * d;
    page.text(std::clamp(cx - a, x, x + w - 2 * a), cy - b, Font::Regular, 8, ToCp1252(text));
  }
  label(px(run / 2), y0 - 11, 8, MetresText(run, sep));
}

// Words set into lines of at most `width` characters (the standard font's
// letters average about half its size).
std::vector<std::string> Wrapped(const std::string& text, std::size_t width) {
  std::vector<std::string> lines(1);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (!lines.back().empty() && lines.back().size() + 1 + word.size() > width) lines.emplace_back();
    if (!lines.back().empty()) lines.back() += ' ';
    lines.back() += word;
    start = end + 1;
  }
  return lines;
}

}  // namespace

pdf::Page SheetPage(const SheetData& d) {
  const NecCheckReport& r = d.check;
  const Language lang = r.language;
  pdf::Page page;
  const double left = 50, right = page.width() - 50;
  double y = page.height() - 50;
  const auto set = [&page](double x, double y, Font f, double size, const std::string& utf8) {
    page.text(x, y, f, size, ToCp1252(utf8));
  };
  set(left, y, Font::Bold, 16, say(lang, Text::SheetTitle));
  y -= 10;
  page.line(left, y, right, y, 0.75);
  y -= 22;
  for (const Block& b : Blocks(d)) {
    set(left, y, Font::Bold, 11, b.heading);
    y -= 15;
    for (const std::string& line : b.lines) {
      set(left + 10, y, Font::Regular, 10, line);
      y -= 13;
    }
    y -= 8;
  }

  // The table shrinks with the number of bands so that all fit the page.
  const std::vector<BandRow> rows = BandRows(r);
  const double size = rows.size() <= 6 ? 10 : 8;
  const double leading = rows.size() <= 6 ? 14 : 11;
  const double columns[] = {left + 10, left + 110, left + 220, left + 340};
  set(left, y, Font::Bold, 11, say(lang, Text::SheetBands));
  y -= 15;
  const Text heads[] = {Text::MeasuredBand, Text::SheetColSwr, Text::SheetColResonance, Text::SheetColPruning};
  for (int c = 0; c < 4; ++c) set(columns[c], y, Font::Bold, size, say(lang, heads[c]));
  y -= 3;
  page.line(left + 10, y, right, y, 0.4);
  y -= leading;
  for (const BandRow& row : rows) {
    const std::string* cells[] = {&row.band, &row.swr, &row.resonance, &row.pruning};
    for (int c = 0; c < 4; ++c) set(columns[c], y, Font::Regular, size, *cells[c]);
    y -= leading;
  }
  for (const std::string& line : Wrapped(say(lang, Text::SheetPruningRule), 110)) {
    set(left + 10, y, Font::Regular, 8, line);
    y -= 10;
  }
  y -= 12;

  set(left, y, Font::Bold, 11, say(lang, Text::SheetSideView));
  const double bottom = 70;
  SideView(page, r, left, y - 6, right - left, std::max(y - 6 - bottom, 80.0));
  set(left, 40, Font::Regular, 8, FooterLine(r));
  return page;
}

std::string WriteSheet(const SheetData& d) {
  return SheetPage(d).document(ToCp1252(say(d.check.language, Text::SheetTitle)));
}

}  // namespace lorvant::report
