// Tables of the stable diagram of any binary system.
#include "app/binary_tables.h"

#include <cstdio>

#include "formats/output_file.h"

namespace {

std::string printed(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

const std::string& nameOf(const BinarySystem& system, int phase)
{
    return system.phases[static_cast<std::size_t>(phase)].name;
}

// The names of two or three phases in increasing x, one phase on both sides of its gap counted
// #1, #2.
std::vector<std::string> labels(const BinarySystem& system, const int* phases, int count)
{
    std::vector<std::string> out;
    for (int k = 0; k < count; ++k) {
        int same = 0;
        int before = 0;
        for (int j = 0; j < count; ++j) {
            if (phases[j] != phases[k]) continue;
            ++same;
            if (j < k) ++before;
        }
        std::string label = nameOf(system, phases[k]);
        if (same > 1) {
            label += '#';
            label += std::to_string(before + 1);
        }
        out.push_back(label);
    }
    return out;
}

bool write(const std::string& name, const std::string& text, std::vector<WrittenTable>& written, int rows,
           ErrorText& error)
{
    written.push_back({name, rows});
    return writeWholeFile(name.c_str(), text.data(), text.size(), error);
}

}  // namespace

bool writeBinaryTables(const LoadedBinary& loaded, const BinaryDiagram& diagram, int initialT, int finalT,
                       const double* masses, std::vector<WrittenTable>& written, int& unsolved, ErrorText& error)
{
    unsolved = 0;
    const BinarySystem& system = loaded.system;
    const std::string x = "x(" + system.elements[1] + ")";
    // Every field's rows at each temperature in turn, so that the parameters are evaluated once
    // a kelvin, not once a field and kelvin.
    const std::size_t fields = diagram.fields.size();
    std::vector<std::string> names(fields);
    std::vector<std::string> texts(fields);
    std::vector<int> rows(fields, 0);
    for (std::size_t f = 0; f < fields; ++f) {
        const Field& field = diagram.fields[f];
        const std::vector<std::string> phases = labels(system, field.phase, 2);
        names[f] = "_Data(" + phases[0] + "-" + phases[1] + ")";
        if (field.occurrence > 1) {
            names[f] += '(';
            names[f] += std::to_string(field.occurrence);
            names[f] += ')';
        }
        names[f] += ".txt";
        texts[f] = "T(K)\t" + x + " in " + phases[0] + "\t" + x + " in " + phases[1];
        if (masses != nullptr) texts[f] += "\twt%(" + system.elements[1] + ") in " + phases[0] + "\twt%(" +
                                           system.elements[1] + ") in " + phases[1];
        texts[f] += "\n";
    }
    SystemAt at;
    for (int T = initialT; T < finalT; ++T)
        for (std::size_t f = 0; f < fields; ++f) {
            const Field& field = diagram.fields[f];
            if (!fieldCovers(field, T)) continue;
            StableTieLine line;
            if (!fieldTieLineAt(system, at, field, T, line)) {
                ++unsolved;
                continue;
            }
            texts[f] += std::to_string(T) + printed("\t%.10f", line.x[0]) + printed("\t%.10f", line.x[1]);
            if (masses != nullptr) {
                const double m[2] = {masses[0], masses[1]};
                texts[f] += printed("\t%.8f", 100 * weightOf(m, line.x[0])) + printed("\t%.8f", 100 * weightOf(m, line.x[1]));
            }
            texts[f] += "\n";
            ++rows[f];
        }
    for (std::size_t f = 0; f < fields; ++f)
        if (!write(names[f], texts[f], written, rows[f], error)) return false;
    const std::string t3 = "\tphase\t" + x;
    std::string text = "kind\tT(K)" + t3 + t3 + t3 + "\n";
    std::string eutectics = "T(K)\t" + x + " in the liquid\tfirst solid\t" + x + " in it\tsecond solid\t" + x + " in it\n";
    int eutecticRows = 0;
    for (const Invariant& i : diagram.invariants) {
        const int phases[3] = {i.state[0].phase, i.state[1].phase, i.state[2].phase};
        const std::vector<std::string> names = labels(system, phases, 3);
        text += std::string(reactionName(i.kind)) + printed("\t%.6f", i.T);
        for (int k = 0; k < 3; ++k) text += "\t" + names[static_cast<std::size_t>(k)] + printed("\t%.10f", i.x[k]);
        text += "\n";
        if (i.kind != ReactionKind::EUTECTIC) continue;
        eutectics += printed("%.6f", i.T) + printed("\t%.10f", i.x[1]) + "\t" + names[0] + printed("\t%.10f", i.x[0]) +
                     "\t" + names[2] + printed("\t%.10f", i.x[2]) + "\n";
        ++eutecticRows;
    }
    for (const SpecialPoint& p : diagram.points) {
        const char* kind = p.kind == SpecialKind::CONGRUENT ? "congruent"
                           : p.kind == SpecialKind::CRITICAL ? "critical"
                           : system.phases[static_cast<std::size_t>(p.phase[0])].liquid ? "melting"
                                                                                       : "transformation";
        text += std::string(kind) + printed("\t%.6f", p.T) + "\t" + nameOf(system, p.phase[0]) + printed("\t%.10f", p.x);
        if (p.kind == SpecialKind::CRITICAL)
            text += "\t-\t-";
        else
            text += "\t" + nameOf(system, p.phase[1]) + printed("\t%.10f", p.x);
        text += "\t-\t-\n";
    }
    // Changes between sections that were solved as no reaction: a script sees where the table may
    // be short of one.
    for (const double T : diagram.unresolvedAt) text += "unresolved" + printed("\t%.6f", T) + "\t-\t-\t-\t-\t-\t-\n";
    const int lines = static_cast<int>(diagram.invariants.size() + diagram.points.size() + diagram.unresolvedAt.size());
    if (!write("_Invariants.txt", text, written, lines, error)) return false;
    if (eutecticRows == 0) return true;
    return write("_Data(Eutectic).txt", eutectics, written, eutecticRows, error);
}
