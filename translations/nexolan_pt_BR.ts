<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Nexolan...</source>
        <translation>Sobre o Nexolan...</translation>
    </message>
    <message>
        <source>By Torvik</source>
        <translation>Por Torvik</translation>
    </message>
    <message>
        <source>Nexolan is an application wich shows you a list of servers you can connect to, with the ability to test them. It was inspired by an earlier server switcher. Thanks to those who gathered the server list and to the artist of the icon.</source>
        <translation>O Nexolan é um aplicativo que mostra uma lista de servidores aos quais você pode se conectar e permite testá-los. Ele foi inspirado em um antigo alternador de servidores. Agradecimentos a quem reuniu a lista de servidores e ao artista do ícone.</translation>
    </message>
    <message>
        <source>Click on my grimhal link</source>
        <translation>Clique no meu link do grimhal</translation>
    </message>
    <message>
        <source>Opens the Grimhal web page in the browser</source>
        <translation>Abre a página do Grimhal no navegador</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Nexolan icon</source>
        <translation>Ícone do Nexolan</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1: %2 (see --help)</source>
        <translation>%1: %2 (veja --help)</translation>
    </message>
    <message>
        <source>Tests every server of the list beside the program (or FILE) and prints them best first.
Exit status: 0 when a server accepts MSNP9 or MSNP10, 1 when none does, 2 for a usage
error or an unreadable list.</source>
        <translation>Testa todos os servidores da lista ao lado do programa (ou de ARQUIVO) e os mostra do melhor ao pior.
Status de saída: 0 quando um servidor aceita MSNP9 ou MSNP10, 1 quando nenhum aceita, 2 para um
erro de uso ou uma lista ilegível.</translation>
    </message>
    <message>
        <source>Test every server of the list.</source>
        <translation>Testa todos os servidores da lista.</translation>
    </message>
    <message>
        <source>The server list to test.</source>
        <translation>A lista de servidores a testar.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>ARQUIVO</translation>
    </message>
    <message>
        <source>Connection attempts pending at once, 1 to 10 (default 4).</source>
        <translation>Tentativas de conexão pendentes ao mesmo tempo, de 1 a 10 (padrão 4).</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>Time limit per server in seconds (default 10).</source>
        <translation>Tempo limite por servidor, em segundos (padrão 10).</translation>
    </message>
    <message>
        <source>SECONDS</source>
        <translation>SEGUNDOS</translation>
    </message>
    <message>
        <source>Print comma-separated values.</source>
        <translation>Mostra valores separados por vírgulas.</translation>
    </message>
    <message>
        <source>--list, --jobs, --timeout and --csv go with --test-list</source>
        <translation>--list, --jobs, --timeout e --csv acompanham --test-list</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>argumento inesperado &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--jobs takes a whole number from 1 to 10</source>
        <translation>--jobs aceita um número inteiro de 1 a 10</translation>
    </message>
    <message>
        <source>--timeout takes a number of seconds above 0</source>
        <translation>--timeout aceita um número de segundos acima de 0</translation>
    </message>
    <message>
        <source>Cannot read %1: it does not exist.</source>
        <translation>Não é possível ler %1: ele não existe.</translation>
    </message>
</context>
<context>
    <name>FileOwner</name>
    <message>
        <source>its owner %1 and group %2 cannot be kept (%3)</source>
        <translation>não é possível manter o dono %1 e o grupo %2 (%3)</translation>
    </message>
    <message>
        <source>its permissions cannot be kept (%1)</source>
        <translation>não é possível manter as permissões (%1)</translation>
    </message>
</context>
<context>
    <name>LinuxSystemObjects</name>
    <message>
        <source>The Messenger automation object does not exist on this system.</source>
        <translation>O objeto de automação do Messenger não existe neste sistema.</translation>
    </message>
</context>
<context>
    <name>ListTestModel</name>
    <message>
        <source>Host Name</source>
        <translation>Nome do host</translation>
    </message>
    <message>
        <source>Host IP</source>
        <translation>IP do host</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Porta</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Conexão</translation>
    </message>
    <message>
        <source>Response</source>
        <translation>Resposta</translation>
    </message>
    <message>
        <source>Rating</source>
        <translation>Avaliação</translation>
    </message>
    <message>
        <source>Reply</source>
        <translation>Retorno</translation>
    </message>
    <message>
        <source>Seconds, cut to hundredths</source>
        <translation>Segundos, truncados em centésimos</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>File</source>
        <translation>Arquivo</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ajuda</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>Sobre...</translation>
    </message>
    <message>
        <source>Servers</source>
        <translation>Servidores</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Barra de status</translation>
    </message>
    <message>
        <source>Server details</source>
        <translation>Detalhes do servidor</translation>
    </message>
    <message>
        <source>Please select a server.
</source>
        <translation>Selecione um servidor.
</translation>
    </message>
    <message>
        <source>Test List</source>
        <translation>Testar lista</translation>
    </message>
    <message>
        <source>Test Server</source>
        <translation>Testar servidor</translation>
    </message>
    <message>
        <source>Use this server</source>
        <translation>Usar servidor</translation>
    </message>
    <message>
        <source>Messenger&apos;s settings: %1</source>
        <translation>Configurações do Messenger: %1</translation>
    </message>
    <message>
        <source>Host name: %1
IP Address: %2
Port: %3</source>
        <translation>Nome do host: %1
Endereço IP: %2
Porta: %3</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>Nexolan - By Torvik</source>
        <translation>Nexolan - Por Torvik</translation>
    </message>
</context>
<context>
    <name>ProbeConnection</name>
    <message>
        <source>No IP address</source>
        <translation>Sem endereço IP</translation>
    </message>
    <message>
        <source>Invalid port number</source>
        <translation>Número de porta inválido</translation>
    </message>
    <message>
        <source>Connection refused</source>
        <translation>Conexão recusada</translation>
    </message>
    <message>
        <source>Connection reset by peer</source>
        <translation>Conexão redefinida pelo servidor</translation>
    </message>
    <message>
        <source>Connection timed out</source>
        <translation>Tempo de conexão esgotado</translation>
    </message>
    <message>
        <source>Host unreachable</source>
        <translation>Host inacessível</translation>
    </message>
    <message>
        <source>Network unreachable</source>
        <translation>Rede inacessível</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Permissão negada</translation>
    </message>
    <message>
        <source>Unable to send the whole line</source>
        <translation>Não foi possível enviar a linha inteira</translation>
    </message>
</context>
<context>
    <name>Rating</name>
    <message>
        <source>Very good</source>
        <translation>Muito bom</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Bom</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Poor</source>
        <translation>Fraco</translation>
    </message>
    <message>
        <source>Bad</source>
        <translation>Ruim</translation>
    </message>
    <message>
        <source>Server test finished!</source>
        <translation>Teste do servidor concluído!</translation>
    </message>
    <message>
        <source>Connection time: %1 seconds</source>
        <translation>Tempo de conexão: %1 segundos</translation>
    </message>
    <message>
        <source>Response time: %1 seconds.</source>
        <translation>Tempo de resposta: %1 segundos.</translation>
    </message>
    <message>
        <source>Rating: %1</source>
        <translation>Avaliação: %1</translation>
    </message>
</context>
<context>
    <name>RegistryFile</name>
    <message>
        <source>Unsupported registry path &quot;%1&quot;: only HKEY_CURRENT_USER is available.</source>
        <translation>Caminho do registro sem suporte &quot;%1&quot;: só HKEY_CURRENT_USER está disponível.</translation>
    </message>
    <message>
        <source>The registry value &quot;%1&quot; of key &quot;%2&quot; does not exist.</source>
        <translation>O valor &quot;%1&quot; da chave &quot;%2&quot; do registro não existe.</translation>
    </message>
    <message>
        <source>The registry value &quot;%1&quot; of key &quot;%2&quot; is neither a text nor a number.</source>
        <translation>O valor &quot;%1&quot; da chave &quot;%2&quot; do registro não é um texto nem um número.</translation>
    </message>
    <message>
        <source>The key, value name or value holds a control character, which the registry file cannot store.</source>
        <translation>A chave, o nome do valor ou o valor contém um caractere de controle, que o arquivo de registro não pode guardar.</translation>
    </message>
    <message>
        <source>The registry file is cut off in the middle of a character.</source>
        <translation>O arquivo de registro termina no meio de um caractere.</translation>
    </message>
</context>
<context>
    <name>Reply</name>
    <message>
        <source>No common version</source>
        <translation>Nenhuma versão em comum</translation>
    </message>
    <message>
        <source>Not a Messenger server</source>
        <translation>Não é um servidor Messenger</translation>
    </message>
    <message>
        <source>Closed without reply</source>
        <translation>Fechada sem resposta</translation>
    </message>
    <message>
        <source>No reply</source>
        <translation>Sem resposta</translation>
    </message>
    <message>
        <source>Error %1</source>
        <translation>Erro %1</translation>
    </message>
    <message>
        <source>Error (%1)</source>
        <translation>Erro (%1)</translation>
    </message>
</context>
<context>
    <name>ServerList</name>
    <message>
        <source>(Currently Using)</source>
        <translation>(Em uso)</translation>
    </message>
    <message>
        <source>(Unknown host)</source>
        <translation>(Host desconhecido)</translation>
    </message>
    <message numerus="yes">
        <source>%n items in database.</source>
        <translation>
            <numerusform>%n item no banco de dados.</numerusform>
            <numerusform>%n itens no banco de dados.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ServerListModel</name>
    <message>
        <source>Host Name</source>
        <translation>Nome do host</translation>
    </message>
    <message>
        <source>Host IP</source>
        <translation>IP do host</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Porta</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
</context>
<context>
    <name>ServerSwitcher</name>
    <message>
        <source>The registry is not available.</source>
        <translation>O registro não está disponível.</translation>
    </message>
    <message>
        <source>Switching reported a fault, but the Messenger server setting was changed.</source>
        <translation>A troca relatou uma falha, mas a configuração de servidor do Messenger foi alterada.</translation>
    </message>
    <message>
        <source>The Messenger server setting could not be changed.</source>
        <translation>Não foi possível alterar a configuração de servidor do Messenger.</translation>
    </message>
    <message>
        <source>Its value cannot be read back: %1</source>
        <translation>Não é possível ler o valor de volta: %1</translation>
    </message>
    <message>
        <source>The Messenger server setting was changed again by another program.</source>
        <translation>A configuração de servidor do Messenger foi alterada de novo por outro programa.</translation>
    </message>
    <message>
        <source>The Messenger server setting was written but cannot be read back: %1</source>
        <translation>A configuração de servidor do Messenger foi gravada, mas não é possível lê-la de volta: %1</translation>
    </message>
</context>
<context>
    <name>ServerTestDialog</name>
    <message>
        <source>Server Test</source>
        <translation>Teste do servidor</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>Hostname:</source>
        <translation>Host:</translation>
    </message>
    <message>
        <source>IP address</source>
        <translation>Endereço IP</translation>
    </message>
    <message>
        <source>Host name</source>
        <translation>Nome do host</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Porta:</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Porta</translation>
    </message>
    <message>
        <source>Test progress</source>
        <translation>Andamento do teste</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Pronto</translation>
    </message>
    <message>
        <source>Test in progress...</source>
        <translation>Teste em andamento...</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Conectando...</translation>
    </message>
    <message>
        <source>Waiting for response...</source>
        <translation>Aguardando resposta...</translation>
    </message>
    <message>
        <source>Finished!</source>
        <translation>Concluído!</translation>
    </message>
    <message>
        <source>Error (%1)</source>
        <translation>Erro (%1)</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Important information:</source>
        <translation>Informações importantes:</translation>
    </message>
    <message>
        <source>Sorry for the grimhal links... I need them, really!</source>
        <translation>Desculpe pelos links do grimhal... Eu preciso deles, de verdade!</translation>
    </message>
    <message>
        <source>Nexolan follows in the footsteps of an earlier server switcher for Messenger.</source>
        <translation>O Nexolan segue os passos de um antigo alternador de servidores para o Messenger.</translation>
    </message>
    <message>
        <source>I didn&apos;t add the &apos;Test List&apos; option, because there is a limit of connections (check netstat).</source>
        <translation>Não incluí a opção &apos;Testar lista&apos; porque há um limite de conexões (veja o netstat).</translation>
    </message>
    <message>
        <source>It uses RegRead and RegWrite functions of the Shell object, so don&apos;t be afraid when Norton gives you a warning.</source>
        <translation>Ele usa as funções RegRead e RegWrite do objeto Shell, então não se assuste se o Norton mostrar um aviso.</translation>
    </message>
    <message>
        <source>I screwed my NAV 2k3 so I hope you like it! :P </source>
        <translation>Estraguei meu NAV 2k3, então espero que você goste! :P </translation>
    </message>
    <message>
        <source>Note: this will only be shown once.</source>
        <translation>Observação: esta mensagem só será exibida uma vez.</translation>
    </message>
    <message>
        <source>Error: Server files not found!</source>
        <translation>Erro: arquivos de servidores não encontrados!</translation>
    </message>
    <message>
        <source>none</source>
        <translation>nenhum</translation>
    </message>
    <message>
        <source>Can not load the Messenger API Type Library. If you are on Windows XP, this could be the reason.</source>
        <translation>Não é possível carregar a biblioteca de tipos da API do Messenger. Se você usa o Windows XP, esse pode ser o motivo.</translation>
    </message>
</context>
<context>
    <name>StoreFile</name>
    <message>
        <source>the file is not writable</source>
        <translation>o arquivo não permite gravação</translation>
    </message>
    <message>
        <source>Cannot read %1: it is not a regular file.</source>
        <translation>Não é possível ler %1: não é um arquivo comum.</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Não é possível ler %1: %2</translation>
    </message>
    <message>
        <source>Cannot read %1: it has %2, more than the %3 that are read.</source>
        <translation>Não é possível ler %1: ele tem %2, mais do que os %3 que são lidos.</translation>
    </message>
    <message>
        <source>Cannot write %1: it is not a regular file.</source>
        <translation>Não é possível gravar %1: não é um arquivo comum.</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Não é possível criar a pasta %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Não é possível gravar %1: %2</translation>
    </message>
    <message>
        <source>%1 is being changed by another program; try again.</source>
        <translation>%1 está sendo alterado por outro programa; tente de novo.</translation>
    </message>
    <message>
        <source>Cannot lock %1 for changing it.</source>
        <translation>Não é possível bloquear %1 para alterá-lo.</translation>
    </message>
</context>
<context>
    <name>TestListDialog</name>
    <message>
        <source>Test List</source>
        <translation>Testar lista</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Resultados</translation>
    </message>
    <message>
        <source>Test progress</source>
        <translation>Andamento do teste</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Parar</translation>
    </message>
    <message>
        <source>Use this server</source>
        <translation>Usar servidor</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Test Again</source>
        <translation>Testar de novo</translation>
    </message>
    <message numerus="yes">
        <source>Tested %1 of %n servers</source>
        <translation>
            <numerusform>%1 de %n servidor testado</numerusform>
            <numerusform>%1 de %n servidores testados</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WindowsMessenger</name>
    <message>
        <source>Messenger is not running (no process %1).</source>
        <translation>O Messenger não está em execução (nenhum processo %1).</translation>
    </message>
</context>
<context>
    <name>WindowsRegistry</name>
    <message>
        <source>the Windows registry</source>
        <translation>o registro do Windows</translation>
    </message>
</context>
<context>
    <name>WindowsSystemObjects</name>
    <message>
        <source>Messenger&apos;s automation object %1 is not registered on this computer.</source>
        <translation>O objeto de automação %1 do Messenger não está registrado neste computador.</translation>
    </message>
</context>
<context>
    <name>WineHelper</name>
    <message>
        <source>The Wine loader of the wineserver of %1 is not run: %2.</source>
        <translation>O carregador do Wine do wineserver de %1 não é executado: %2.</translation>
    </message>
    <message>
        <source>The helper program %1 is missing from %2.</source>
        <translation>O programa auxiliar %1 não está em %2.</translation>
    </message>
    <message>
        <source>The helper program %1 failed in %2: %3.</source>
        <translation>O programa auxiliar %1 falhou em %2: %3.</translation>
    </message>
    <message>
        <source>The wineserver of %1 ended while the helper program %2 ran.</source>
        <translation>O wineserver de %1 foi encerrado enquanto o programa auxiliar %2 era executado.</translation>
    </message>
    <message>
        <source>The helper program %1 cannot run in %2: %3</source>
        <translation>O programa auxiliar %1 não pode ser executado em %2: %3</translation>
    </message>
    <message>
        <source>it gave no answer.</source>
        <translation>ele não deu resposta.</translation>
    </message>
    <message>
        <source>The helper program %1 ended with status %2.</source>
        <translation>O programa auxiliar %1 terminou com o status %2.</translation>
    </message>
    <message>
        <source>it crashed</source>
        <translation>ele travou</translation>
    </message>
    <message>
        <source>it did not finish within %1 s</source>
        <translation>ele não terminou em %1 s</translation>
    </message>
</context>
<context>
    <name>WineMessenger</name>
    <message>
        <source>Messenger is not running in the Wine prefix %1.</source>
        <translation>O Messenger não está em execução no prefixo do Wine %1.</translation>
    </message>
</context>
<context>
    <name>WinePrefix</name>
    <message>
        <source>%1 is no absolute path</source>
        <translation>%1 não é um caminho absoluto</translation>
    </message>
    <message>
        <source>%1 does not exist</source>
        <translation>%1 não existe</translation>
    </message>
    <message>
        <source>%1 cannot be examined</source>
        <translation>não é possível examinar %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file</source>
        <translation>%1 não é um arquivo comum</translation>
    </message>
    <message>
        <source>%1 belongs to %2</source>
        <translation>%1 pertence a %2</translation>
    </message>
    <message>
        <source>%1 is writable by others</source>
        <translation>%1 pode ser alterado por outros usuários</translation>
    </message>
    <message>
        <source>The Wine prefix %1 cannot be examined.</source>
        <translation>Não é possível examinar o prefixo do Wine %1.</translation>
    </message>
    <message>
        <source>The Wine prefix %1 is owned by %2, not by you; Nexolan changes only your own prefixes.</source>
        <translation>O prefixo do Wine %1 pertence a %2, não a você; o Nexolan só altera os seus próprios prefixos.</translation>
    </message>
    <message>
        <source>WINEPREFIX names %1, which is no Wine prefix.</source>
        <translation>WINEPREFIX indica %1, que não é um prefixo do Wine.</translation>
    </message>
    <message>
        <source>No Wine prefix with Messenger was found in ~/.wine, Bottles or PlayOnLinux; set WINEPREFIX to the prefix to use.</source>
        <translation>Nenhum prefixo do Wine com o Messenger foi encontrado em ~/.wine, no Bottles ou no PlayOnLinux; defina WINEPREFIX com o prefixo a usar.</translation>
    </message>
    <message>
        <source>Messenger runs in several Wine prefixes (%1); set WINEPREFIX to the prefix to use.</source>
        <translation>O Messenger está em execução em vários prefixos do Wine (%1); defina WINEPREFIX com o prefixo a usar.</translation>
    </message>
    <message>
        <source>Messenger is in several Wine prefixes (%1); set WINEPREFIX to the prefix to use.</source>
        <translation>O Messenger está em vários prefixos do Wine (%1); defina WINEPREFIX com o prefixo a usar.</translation>
    </message>
</context>
<context>
    <name>WineRegistry</name>
    <message>
        <source>The helper program gave no value for %1.</source>
        <translation>O programa auxiliar não retornou nenhum valor para %1.</translation>
    </message>
    <message>
        <source>The Wine prefix %1 has no user.reg.</source>
        <translation>O prefixo do Wine %1 não tem user.reg.</translation>
    </message>
    <message>
        <source>Cannot change %1: %2</source>
        <translation>Não é possível alterar %1: %2</translation>
    </message>
    <message>
        <source>Wine did not keep the new value of %1.</source>
        <translation>O Wine não manteve o novo valor de %1.</translation>
    </message>
</context>
<context>
    <name>WineRegistryFile</name>
    <message>
        <source>The file is not a registry file that Wine reads.</source>
        <translation>O arquivo não é um arquivo de registro que o Wine lê.</translation>
    </message>
    <message>
        <source>The registry value %1 does not exist.</source>
        <translation>O valor do registro %1 não existe.</translation>
    </message>
    <message>
        <source>The registry key %1 does not exist.</source>
        <translation>A chave do registro %1 não existe.</translation>
    </message>
    <message>
        <source>The registry value %1 is neither text nor a number.</source>
        <translation>O valor do registro %1 não é um texto nem um número.</translation>
    </message>
    <message>
        <source>The registry value %1 cannot be read: its line in the file is malformed.</source>
        <translation>Não é possível ler o valor do registro %1: a linha dele no arquivo está malformada.</translation>
    </message>
    <message>
        <source>The file is not a registry file that Wine reads; it is left as it is.</source>
        <translation>O arquivo não é um arquivo de registro que o Wine lê; ele fica como está.</translation>
    </message>
    <message>
        <source>Text for the registry value %1 contains a null character.</source>
        <translation>O texto para o valor do registro %1 contém um caractere nulo.</translation>
    </message>
    <message>
        <source>The registry value %1 names no key.</source>
        <translation>O valor do registro %1 não indica nenhuma chave.</translation>
    </message>
</context>
<context>
    <name>WineSystemObjects</name>
    <message>
        <source>none. %1</source>
        <translation>nenhum. %1</translation>
    </message>
    <message>
        <source>Messenger&apos;s automation object is not registered in the Wine prefix %1.</source>
        <translation>O objeto de automação do Messenger não está registrado no prefixo do Wine %1.</translation>
    </message>
    <message>
        <source>The helper program nexolan-messenger is missing from %1.</source>
        <translation>O programa auxiliar nexolan-messenger não está em %1.</translation>
    </message>
</context>
</TS>
