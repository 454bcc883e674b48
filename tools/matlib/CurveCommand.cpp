#include "CurveCommand.h"

#include "MaterialCurves.h"
#include "MaterialModel.h"
#include "MatlibCommands.h"
#include "TextUtil.h"
#include "UnitConversion.h"
#include "ValueText.h"

#include <charconv>
#include <optional>

namespace mb::cli {

namespace {

// At least the ten significant digits a plotting program needs to redraw the chart.
constexpr int kCurveDigits = 12;
constexpr int kMostPoints = 1000000;

std::optional<int> wholeNumber(const std::string& text, int low, int high) {
    int n = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), n);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size() || n < low || n > high)
        return std::nullopt;
    return n;
}

int Usage(Output& output, const std::string& problem) {
    output.err += "matlib: curve: " + problem + "; try 'matlib curve --help'\n";
    return kExitFailed;
}

int Curve(const Invocation& inv, Output& output) {
    const std::string &typeText = inv.optionValues[0], &pointsText = inv.optionValues[2];
    const std::optional<int> type = wholeNumber(typeText, 0, kMaterialTypeCount - 1);
    if (!type) return Usage(output, "--type takes a model type 0 to 12, not '" + typeText + "'");
    const std::optional<int> points = wholeNumber(pointsText, 2, kMostPoints);
    if (!points)
        return Usage(output,
                     "--points takes a whole number from 2 to 1000000, not '" + pointsText + "'");
    int system = UnitSystemIndex::SI;
    for (int i = 0; i < kUnitSystemCount; ++i)
        if (unitSystemName(i) == inv.optionValues[1]) system = i;

    const std::string& path = inv.positionals[0];
    Library library;
    if (const int rc = loadLibrary(path, library, output); rc != kExitOk) return rc;
    const int n = materialNamed(library, inv.terminal, inv.positionals[1]);
    if (n < 0) return noSuchMaterial(path, inv.positionals[1], output);
    const MaterialCurve curve = computeCurve(library.material(n), *type, system, *points);
    if (!curve.drawn()) {
        output.err += "matlib: " + path + ": '" +
                      inv.terminal.shown(trimBlanks(library.entry(n).Name)) + "': " + curve.note +
                      "\n";
        return kExitRejected;
    }
    for (std::size_t i = 0; i < curve.x.size(); ++i) {
        output.out += significantNumberText(curve.x[i], kCurveDigits);
        for (const CurveSeries& s : curve.series)
            output.out.append("\t").append(significantNumberText(s.y[i], kCurveDigits));
        output.out += "\n";
    }
    return kExitOk;
}

} // namespace

CommandSpec curveCommand() {
    return {"curve",
            "Prints the points of the chart of material NAME in FILE for a model type.",
            {"FILE", "NAME"},
            {{"--type",
              "N",
              "material model type, 0 to 12 as the editor lists them",
              "",
              {},
              OptionUse::Required},
             {"--units", "IPS|SI|MKS", "unit system of the stresses", "SI", {"IPS", "SI", "MKS"}},
             {"--points", "K", "number of points", "50", {}}},
            "NAME is compared trimmed and without regard to case. One tab-separated line per\n"
            "point: for types 4 to 7 (plasticity) strain and stress, for 8 (Drucker Prager)\n"
            "normal stress and shear strength, for 9 and 10 (Mooney Rivlin, Ogden) stretch\n"
            "and nominal stress, for 12 (viscoelastic) t, G and K with the times spread\n"
            "evenly on a logarithmic scale, for 1 and 2 (orthotropic, anisotropic)\n"
            "theta_degrees and the directional Young's modulus in the XY plane (type 2 as\n"
            "its matrix is stored). Numbers have 12 significant digits.\n"
            "\nExit status: 0 printed, 1 FILE is not a library, no such material, the type has\n"
            "no curve or the material lacks a value the curve needs (the message says which),\n"
            "2 FILE cannot be read or the command line is wrong.\n",
            &Curve};
}

} // namespace mb::cli
