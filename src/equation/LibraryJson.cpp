#include "equation/LibraryJson.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace quantem::equation {

namespace {

    using Json = nlohmann::ordered_json;

    constexpr int kVersion = 1;

    Json parameterJson(const EntryParameter& p)
    {
        Json json { { "name", p.name } };
        if (p.start)
            json["start"] = *p.start;
        json["fixed"] = p.fixed;
        // JSON has no infinity: an open side is simply left out.
        if (std::isfinite(p.lower))
            json["lower"] = p.lower;
        if (std::isfinite(p.upper))
            json["upper"] = p.upper;
        return json;
    }

    Json entryJson(const EquationEntry& entry)
    {
        Json parameters = Json::array();
        for (const EntryParameter& p : entry.parameters)
            parameters.push_back(parameterJson(p));
        return { { "name", entry.name }, { "formula", entry.formula },
            { "weighting", weightingName(entry.weighting) }, { "parameters", parameters } };
    }

    /// Reads one file's entry field by field; the first field that cannot be read leaves its
    /// reason in damage, and every later read is skipped.
    class EntryReader
    {
    public:
        bool failed() const noexcept { return !m_damage.empty(); }
        const std::string& damage() const noexcept { return m_damage; }

        void fail(const std::string& why)
        {
            if (m_damage.empty())
                m_damage = why;
        }

        std::string text(const Json& json, const char* key)
        {
            if (failed() || !json.contains(key) || !json.at(key).is_string()) {
                fail(std::string("it has no ") + key + " text");
                return {};
            }
            return json.at(key).get<std::string>();
        }

        /// A finite number under key, or fallback when the key is absent.
        double number(const Json& json, const char* key, double fallback)
        {
            if (failed() || !json.contains(key))
                return fallback;
            const Json& value = json.at(key);
            if (!value.is_number() || !std::isfinite(value.get<double>())) {
                fail(std::string("its ") + key + " is not a finite number");
                return fallback;
            }
            return value.get<double>();
        }

        EntryParameter parameter(const Json& json)
        {
            EntryParameter p;
            if (!json.is_object()) {
                fail("a parameter of it is not an object");
                return p;
            }
            p.name = text(json, "name");
            if (json.contains("start"))
                p.start = number(json, "start", 1.0);
            if (json.contains("fixed") && !json.at("fixed").is_boolean())
                fail("the fixed flag of " + p.name + " is neither true nor false");
            else if (json.contains("fixed"))
                p.fixed = json.at("fixed").get<bool>();
            p.lower = number(json, "lower", p.lower);
            p.upper = number(json, "upper", p.upper);
            if (!(p.lower < p.upper))
                fail("the lower bound of " + p.name + " is not below its upper bound");
            return p;
        }

        EquationEntry entry(const Json& json)
        {
            EquationEntry entry;
            if (!json.is_object()) {
                fail("it is not an object");
                return entry;
            }
            entry.name = text(json, "name");
            entry.formula = text(json, "formula");
            if (json.contains("weighting")) {
                const std::optional<Weighting> weighting = weightingNamed(text(json, "weighting"));
                if (!weighting)
                    fail("its weighting is not one the program knows");
                entry.weighting = weighting.value_or(Weighting::None);
            }
            if (!json.contains("parameters"))
                return entry;
            if (!json.at("parameters").is_array()) {
                fail("its parameters are not a list");
                return entry;
            }
            for (const Json& p : json.at("parameters"))
                entry.parameters.push_back(parameter(p));
            return entry;
        }

    private:
        std::string m_damage;
    };

} // namespace

std::string libraryText(const std::vector<EquationEntry>& entries)
{
    Json list = Json::array();
    for (const EquationEntry& entry : entries)
        list.push_back(entryJson(entry));
    return Json { { "version", kVersion }, { "equations", list } }.dump(2) + "\n";
}

ParsedLibrary parseLibraryText(const std::string& text)
{
    ParsedLibrary parsed;
    const Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded()) {
        parsed.damage = "it is not JSON text";
        return parsed;
    }
    if (!json.is_object() || !json.contains("equations") || !json.at("equations").is_array()) {
        parsed.damage = "it holds no list of equations";
        return parsed;
    }
    const Json& list = json.at("equations");
    for (std::size_t i = 0; i < list.size(); ++i) {
        EntryReader reader;
        parsed.entries.push_back(reader.entry(list[i]));
        if (reader.failed()) {
            parsed.entries.clear();
            parsed.damage
                = "equation " + std::to_string(i + 1) + " cannot be read: " + reader.damage();
            return parsed;
        }
    }
    return parsed;
}

} // namespace quantem::equation
