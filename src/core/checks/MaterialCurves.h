#pragma once

#include "clsMaterial.h"

#include <string>
#include <vector>

namespace mb {

/// One line of a chart: a y value for each x of its curve.
struct CurveSeries {
    std::string name;
    std::vector<double> y;
};

/// What a material model does, as a chart draws it, in one unit system.
struct MaterialCurve {
    enum class Kind {
        None,
        Plasticity,
        DruckerPrager,
        MooneyRivlin,
        Ogden,
        Viscoelastic,
        Directional,
        Elastic
    };
    Kind kind = Kind::None;
    std::string title;
    std::string xLabel; ///< with its unit, e.g. "Normal stress (psi)"
    std::string yLabel;
    bool logX = false;  ///< time on a logarithmic axis
    bool polar = false; ///< x is an angle in degrees, y a radius
    std::vector<double> x;
    std::vector<CurveSeries> series;
    /// What the material lacks for the curve, or why the type has none; empty when drawn.
    std::string note;

    bool drawn() const { return note.empty(); }
};

inline constexpr int kDefaultCurvePoints = 50;

/// The curve of model type `typeIndex` (0..12, as the type selector numbers them) for
/// `material`, with `points` points (at least 2), in unit system `unitSystem` (an
/// UnitSystemIndex). A material that lacks a value the formula uses gets the note instead.
MaterialCurve computeCurve(const clsMaterial& material, int typeIndex, int unitSystem,
                           int points = kDefaultCurvePoints);

/// The uniaxial stress-strain line of a linear elastic isotropic material: EX from zero to
/// the yield stress SIGYLD, or without one to the tensile strength SIGXT, or without either
/// to a strain of 0.2%. A note instead when EX is missing or not above zero.
MaterialCurve isotropicLine(const clsMaterial& material, int unitSystem,
                            int points = kDefaultCurvePoints);

} // namespace mb
