#include "CommandCompletion.h"

#include "CommandLine.h"

QString CommandCompletion::bashScript(const CommandLine& commandLine)
{
    QStringList commandNames {QStringLiteral("help")};
    QString cases;
    for (const CliCommand& command : commandLine.commands()) {
        commandNames.append(command.name);
        const QStringList options = optionWords(command.forms, false) + QStringList {QStringLiteral("--help")};
        cases += QStringLiteral("    %1)\n        forms=%2\n        options=%3\n        valued=%4\n        ;;\n")
                     .arg(command.name, words(formWords(command.forms)), words(options),
                          words(optionWords(command.forms, true)));
    }
    QString script = QStringLiteral("# bash completion for keymoor -*- shell-script -*-\n\n"
                                    "_keymoor()\n{\n"
                                    "    local cur=${COMP_WORDS[COMP_CWORD]}\n"
                                    "    local prev=${COMP_WORDS[COMP_CWORD-1]}\n"
                                    "    COMPREPLY=()\n"
                                    "    if ((COMP_CWORD == 1)); then\n"
                                    "        if [[ $cur == -* ]]; then\n"
                                    "            COMPREPLY=($(compgen -W '--help --version' -- \"$cur\"))\n"
                                    "        else\n"
                                    "            COMPREPLY=($(compgen -W %1 -- \"$cur\"))\n"
                                    "        fi\n"
                                    "        return\n"
                                    "    fi\n"
                                    "    local forms='' options='' valued=''\n"
                                    "    case ${COMP_WORDS[1]} in\n")
                         .arg(words(commandNames));
    script += cases;
    script += QStringLiteral("    help)\n        forms=%1\n        ;;\n").arg(words(commandNames.mid(1)));
    script += QStringLiteral("    *)\n        return\n        ;;\n"
                             "    esac\n"
                             "    local word\n"
                             "    for word in $valued; do\n"
                             "        [[ $prev == \"$word\" ]] && return\n"
                             "    done\n"
                             "    if [[ $cur == -* ]]; then\n"
                             "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
                             "    elif ((COMP_CWORD == 2)) && [[ -n $forms ]]; then\n"
                             "        COMPREPLY=($(compgen -W \"$forms\" -- \"$cur\"))\n"
                             "    fi\n"
                             "}\n"
                             "complete -o default -F _keymoor keymoor\n");
    return script;
}

QStringList CommandCompletion::optionWords(const QList<CommandOptions>& forms, bool valuesOnly)
{
    QStringList result;
    for (const CommandOptions& form : forms) {
        for (const CliOption& option : form.options()) {
            if (valuesOnly && option.valueName.isEmpty()) {
                continue;
            }
            const QString word = QStringLiteral("--") + option.name;
            if (!result.contains(word)) {
                result.append(word);
            }
        }
    }
    return result;
}

QStringList CommandCompletion::formWords(const QList<CommandOptions>& forms)
{
    QStringList result;
    if (forms.size() < 2) {
        return result;
    }
    for (const CommandOptions& form : forms) {
        const QStringList parts = form.command().split(u' ', Qt::SkipEmptyParts);
        if (parts.size() > 1 && !parts.at(1).startsWith(u'-') && !parts.at(1).at(0).isUpper()
            && !result.contains(parts.at(1))) {
            result.append(parts.at(1));
        }
    }
    return result;
}

QString CommandCompletion::words(const QStringList& list)
{
    // Command and option names are plain words; the single quotes keep the shell from reading them.
    return u'\'' + list.join(u' ') + u'\'';
}
