#pragma once
#include <QString>
#include <optional>

// The kind of a reminder, stored as one letter in the Type column.
namespace oxi {

enum class TypeRappel { Anniversaire, Fete, Note };

// "A", "F", "N".
inline QString LettreType(TypeRappel type)
{
    switch (type) {
    case TypeRappel::Anniversaire:
        return QStringLiteral("A");
    case TypeRappel::Fete:
        return QStringLiteral("F");
    case TypeRappel::Note:
        break;
    }
    return QStringLiteral("N");
}

// The kind stored as `lettre`; nothing for any other text.
inline std::optional<TypeRappel> TypeDeLettre(const QString &lettre)
{
    for (TypeRappel type : {TypeRappel::Anniversaire, TypeRappel::Fete, TypeRappel::Note})
        if (lettre == LettreType(type))
            return type;
    return std::nullopt;
}

} // namespace oxi
