#include "Gerberformat.h"

namespace vesk {

namespace {

struct RoleByName {
    const char* layerName;
    TGerberLayerRole role;
};

// The one place that says what each default layer is on the board.
constexpr RoleByName kRoles[] = {
    { "component", { "Copper,L1,Top", "Positive", true } },
    { "solder", { "Copper,L2,Bot", "Positive", true } },
    { "stop_cmp", { "Soldermask,Top", "Negative", true } },
    { "stop_sol", { "Soldermask,Bot", "Negative", true } },
    { "place_cmp", { "Legend,Top", "Positive", true } },
    { "place_sol", { "Legend,Bot", "Positive", true } },
    { "dimension", { "Profile,NP", "Positive", true } },
    { "hole", { "Plated,1,2,PTH", "Positive", true } },
    // Where the starter library's mounting holes put their unplated drills.
    { "npth", { "NonPlated,1,2,NPTH", "Positive", true } },
};

constexpr TGerberLayerRole kOtherRole { "Other,Drawing", "Positive", false };

} // namespace

TGerberLayerRole GerberLayerRole(const QString& layerName)
{
    for (const RoleByName& r : kRoles)
        if (layerName == QLatin1String(r.layerName))
            return r.role;
    return kOtherRole;
}

QByteArray GerberFieldText(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    for (char& c : bytes)
        if (c == '*' || c == '%' || c == ',' || (static_cast<unsigned char>(c) < 0x20) || c == 0x7F)
            c = '_';
    return bytes;
}

QByteArray GerberGenerationSoftware()
{
    return "Vesk,Vesk2.0," + QByteArray(VESK_CORE_VERSION);
}

QByteArray GerberCreationDate(const QDateTime& when)
{
    return when.toOffsetFromUtc(when.offsetFromUtc()).toString(Qt::ISODate).toLatin1();
}

QByteArray GerberX2Attributes(const QString& layerName, const QDateTime& created)
{
    const TGerberLayerRole role = GerberLayerRole(layerName);
    QByteArray text;
    if (!role.known)
        text += "G04 Layer " + GerberFieldText(layerName) + "*\n";
    // In the comment form the standard gives them for readers that predate
    // attributes: gerbv calls "%TF" an unknown extension, a critical error,
    // and tracespace warns that it ignores it. Readers of X2 read both forms.
    text += "G04 #@! TF.GenerationSoftware," + GerberGenerationSoftware() + "*\n";
    text += "G04 #@! TF.CreationDate," + GerberCreationDate(created) + "*\n";
    text += QByteArray("G04 #@! TF.FileFunction,") + role.fileFunction + "*\n";
    text += QByteArray("G04 #@! TF.FilePolarity,") + role.filePolarity + "*\n";
    return text;
}

} // namespace vesk
