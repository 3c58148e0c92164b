#include "ConversionError.h"

ConversionError ConversionError::Integer(const QString &text)
{
    return ConversionError(QStringLiteral("'%1' is not a valid integer value.").arg(text));
}

ConversionError ConversionError::FloatingPoint(const QString &text)
{
    return ConversionError(QStringLiteral("'%1' is not a valid floating point value.").arg(text));
}
